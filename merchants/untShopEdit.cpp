#include "merchants/untShopEdit.h"

#include "foundation/ui/DBBind.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "merchants/untShop.h"
#include "foundation/ui/BusyCursor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

TfrmShopEdit *frmShopEdit = nullptr;

namespace {

const QString Online = QStringLiteral("已上线");

bool AllDigits(const QString &text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

} // namespace

QValidator::State TBoundSpinBox::validate(QString &input, int &) const
{
    const QString text = input.trimmed();
    if (text.isEmpty()) return QValidator::Intermediate;
    if (!AllDigits(text) || text.size() > 9) return QValidator::Invalid;
    const int value = text.toInt();
    return value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TBoundSpinBox::fixup(QString &input) const
{
    const QString text = input.trimmed();
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || !AllDigits(text))
        input = QString::number(minimum());
    else
        input = QString::number(std::clamp<qlonglong>(value, minimum(), maximum()));
}

TfrmShopEdit::TfrmShopEdit(QWidget *parent) : TDialogBase(parent)
{
    frmShopEdit = this;
    setObjectName(QStringLiteral("frmShopEdit"));
    setWindowTitle(QStringLiteral("商户管理"));
    SetClientSize(404, 246);

    pcMain = new QTabWidget(this);
    pcMain->setGeometry(6, 8, 392, 196);
    auto *page = new QWidget;
    pcMain->addTab(page, QStringLiteral("修改"));

    const int labelLeft = 8, editLeft = 80, rowStep = 26, firstTop = 8;
    int row = 0;
    auto place = [&](const QString &caption, QWidget *control, int width) {
        const int top = firstTop + rowStep * row++;
        auto *label = new QLabel(caption, page);
        label->setGeometry(labelLeft, top, editLeft - labelLeft, 24);
        control->setParent(page);
        control->setGeometry(editLeft, top, width, 24);
    };

    edtShopNo = new QLineEdit;
    edtShopName = new QLineEdit;
    edtAllName = new QLineEdit;
    for (QLineEdit *edit : {edtShopNo, edtShopName, edtAllName})
        edit->setReadOnly(true);
    QPalette info = edtShopNo->palette();
    info.setColor(QPalette::Base, QColor(255, 255, 225));
    edtShopNo->setPalette(info);
    edtState = new QComboBox;
    edtState->addItems({QStringLiteral("待审核"), Online, QStringLiteral("已屏蔽")});
    RzDBSpinEdit1 = new TBoundSpinBox;
    RzDBSpinEdit1->setRange(1, 100);
    RzDBSpinEdit1->setSingleStep(1);
    RzDBSpinEdit1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    RzDBSpinEdit1->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    RzDBCheckBox1 = new QCheckBox(QStringLiteral("(锁定后仅允许已经登录过的计算机进入系统)"));

    place(QStringLiteral("商户编号："), edtShopNo, 120);
    place(QStringLiteral("商户简称："), edtShopName, 180);
    place(QStringLiteral("商户全称："), edtAllName, 280);
    place(QStringLiteral("在线状态："), edtState, 120);
    place(QStringLiteral("授权用户："), RzDBSpinEdit1, 120);
    place(QStringLiteral("锁定登录："), RzDBCheckBox1, 304);

    edtShopNo->setObjectName(QStringLiteral("edtShopNo"));
    edtShopName->setObjectName(QStringLiteral("edtShopName"));
    edtAllName->setObjectName(QStringLiteral("edtAllName"));
    edtState->setObjectName(QStringLiteral("edtState"));
    RzDBSpinEdit1->setObjectName(QStringLiteral("RzDBSpinEdit1"));
    RzDBCheckBox1->setObjectName(QStringLiteral("RzDBCheckBox1"));

    btnOk = new QPushButton(QStringLiteral("确定(&O)"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(228, 212, 80, 26);
    btnCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(318, 212, 80, 26);
    connect(btnOk, &QPushButton::clicked, this, &TfrmShopEdit::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmShopEdit::btnCancelClick);
    SetCancelButton(btnCancel);
    SetKeyPreview(true);

    if (frmShop) {
        Query *list = &frmShop->rdShop;
        BindEdit(edtShopNo, list, QStringLiteral("ShopNo"));
        BindEdit(edtShopName, list, QStringLiteral("ShopName"));
        BindEdit(edtAllName, list, QStringLiteral("AllName"));
        BindCombo(edtState, list, QStringLiteral("State"));
        BindSpin(RzDBSpinEdit1, list, QStringLiteral("Users"));
        BindCheck(RzDBCheckBox1, list, QStringLiteral("Locked"));
    }
    Guard([this] { FormCreate(); });
}

TfrmShopEdit::~TfrmShopEdit()
{
    if (frmShopEdit == this) frmShopEdit = nullptr;
}

void TfrmShopEdit::FormCreate()
{
    if (frmShop && frmShop->rdShop.Active() && !frmShop->rdShop.IsEmpty())
        OldState = frmShop->rdShop.FieldText(QStringLiteral("State"));
}

void TfrmShopEdit::FormShow()
{
    edtState->setFocus();
}

void TfrmShopEdit::showEvent(QShowEvent *event)
{
    TDialogBase::showEvent(event);
    FormShow();
}

void TfrmShopEdit::btnOkClick()
{
    Guard([this] {
        if (!frmShop) return;
        // A number still being typed counts as entered.
        RzDBSpinEdit1->interpretText();
        Query &list = frmShop->rdShop;
        list.Edit();
        list.Post(); // a row someone else deleted or renumbered meanwhile raises an error here
        const QString state = TrimText(edtState->currentText());
        if (state != OldState) {
            BusyCursor busy;
            Query &stock = frmData->rdPublic;
            stock.Close();
            stock.SQL = QStringList{QStringLiteral("UPDATE Sys_Stock SET State=:State WHERE ShopNo=:ShopNo")};
            stock.SetParamBool(QStringLiteral("State"), state == Online);
            stock.SetParam(QStringLiteral("ShopNo"), TrimText(edtShopNo->text()));
            stock.ExecSQL();
        }
        done(QDialog::Accepted);
    });
}

void TfrmShopEdit::btnCancelClick()
{
    done(QDialog::Rejected);
}

void TfrmShopEdit::FormClose()
{
    if (frmShop) frmShop->rdShop.Cancel();
}

void TfrmShopEdit::done(int result)
{
    Guard([this] { FormClose(); });
    TDialogBase::done(result);
}
