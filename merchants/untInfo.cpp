#include "merchants/untInfo.h"

#include "foundation/ui/DBBind.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "foundation/ui/BusyCursor.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

TfrmInfo *frmInfo = nullptr;

namespace {

QLineEdit *LabelledEdit(QWidget *page, const char *name, const QString &caption, int left, int top,
                        int labelWidth, int width)
{
    auto *label = new QLabel(caption, page);
    label->setGeometry(left, top, labelWidth, 24);
    auto *edit = new QLineEdit(page);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(left + labelWidth, top, width, 24);
    return edit;
}

} // namespace

TfrmInfo::TfrmInfo(QWidget *parent) : TDialogBase(parent), rdShop(&frmData->rdConn)
{
    frmInfo = this;
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("商户信息"));
    SetClientSize(584, 361);
    rdShop.SetUpdateTable(QStringLiteral("Sys_Shop"), {QStringLiteral("ShopNo")});

    pcMain = new QTabWidget(this);
    pcMain->setGeometry(8, 8, 568, 307);
    auto *page = new QWidget;
    pcMain->addTab(page, QStringLiteral("修改"));

    // Number, short name and the four main fields one under the other; then the two sales contacts
    // side by side.
    const int left = 24, labelWidth = 84, step = 28;
    edtShopNo = LabelledEdit(page, "edtShopNo", QStringLiteral("商户编号："), left, 10, labelWidth, 140);
    edtShopName =
        LabelledEdit(page, "edtShopName", QStringLiteral("商户简称："), left, 10 + step, labelWidth, 220);
    edtAllName =
        LabelledEdit(page, "edtAllName", QStringLiteral("商户全称："), left, 10 + 2 * step, labelWidth, 400);
    edtLinkPer =
        LabelledEdit(page, "edtLinkPer", QStringLiteral("商户代表："), left, 10 + 3 * step, labelWidth, 400);
    edtTel = LabelledEdit(page, "edtTel", QStringLiteral("联系电话："), left, 10 + 4 * step, labelWidth, 400);
    edtAddress =
        LabelledEdit(page, "edtAddress", QStringLiteral("联系地址："), left, 10 + 5 * step, labelWidth, 400);
    const int contactsTop = 10 + 6 * step + 4, right = 290, contactWidth = 160;
    Per01 = LabelledEdit(page, "Per01", QStringLiteral("业务员01："), left, contactsTop, labelWidth,
                         contactWidth);
    Tel01 = LabelledEdit(page, "Tel01", QStringLiteral("业务电话："), left, contactsTop + step, labelWidth,
                         contactWidth);
    QQ01 = LabelledEdit(page, "QQ01", QStringLiteral("业务 QQ："), left, contactsTop + 2 * step, labelWidth,
                        contactWidth);
    Per02 = LabelledEdit(page, "Per02", QStringLiteral("业务员02："), right, contactsTop, labelWidth,
                         contactWidth);
    Tel02 = LabelledEdit(page, "Tel02", QStringLiteral("业务电话："), right, contactsTop + step, labelWidth,
                         contactWidth);
    QQ02 = LabelledEdit(page, "QQ02", QStringLiteral("业务 QQ："), right, contactsTop + 2 * step, labelWidth,
                        contactWidth);

    QPalette info = edtShopNo->palette();
    info.setColor(QPalette::Base, QColor(255, 255, 225));
    for (QLineEdit *edit : {edtShopNo, edtShopName}) {
        edit->setReadOnly(true);
        edit->setPalette(info);
    }

    btnOk = new QPushButton(QStringLiteral("确定(&O)"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(396, 325, 84, 28);
    btnCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(492, 325, 84, 28);
    connect(btnOk, &QPushButton::clicked, this, &TfrmInfo::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmInfo::btnCancelClick);
    SetCancelButton(btnCancel);
    SetKeyPreview(true);

    // Field widths as the columns hold them, in GBK bytes.
    const struct {
        QLineEdit *edit;
        const char *field;
        int width;
    } fields[] = {{edtShopNo, "ShopNo", 10},   {edtShopName, "ShopName", 30}, {edtAllName, "AllName", 60},
                  {edtLinkPer, "LinkPer", 20}, {edtTel, "Tel", 30},           {edtAddress, "Address", 100},
                  {Per01, "Per01", 20},        {Tel01, "Tel01", 30},          {QQ01, "QQ01", 20},
                  {Per02, "Per02", 20},        {Tel02, "Tel02", 30},          {QQ02, "QQ02", 20}};
    QWidget *previous = nullptr;
    for (const auto &f : fields) {
        if (!f.edit->isReadOnly()) LimitGbk(f.edit, f.width);
        BindEdit(f.edit, &rdShop, QLatin1String(f.field));
        if (previous) setTabOrder(previous, f.edit);
        previous = f.edit;
    }
    setTabOrder(previous, btnOk);
    setTabOrder(btnOk, btnCancel);

    Guard([this] { FormCreate(); });
    if (!HasRow()) LockInput();
}

TfrmInfo::~TfrmInfo()
{
    if (frmInfo == this) frmInfo = nullptr;
}

void TfrmInfo::Execute()
{
    TfrmInfo dialog;
    if (dialog.rdShop.Active() && dialog.rdShop.IsEmpty()) {
        // The administrator deleted the merchant (or renumbered it) since the sign-in.
        MsgWarn(QStringLiteral("找不到当前登录商户的资料,该商户可能已被平台删除,无法修改!"));
        return;
    }
    dialog.exec();
}

bool TfrmInfo::HasRow() const
{
    return rdShop.GetState() == Query::State::Edit;
}

void TfrmInfo::LockInput()
{
    // Nothing to edit: no field takes input and nothing can be stored.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->setReadOnly(true);
    btnOk->setEnabled(false);
}

void TfrmInfo::FormCreate()
{
    BusyCursor busy;
    rdShop.Close();
    rdShop.SQL = QStringList{QStringLiteral("SELECT * FROM Sys_Shop WHERE ShopNo=:ShopNo")};
    rdShop.SetParam(QStringLiteral("ShopNo"), SysSet.ShopNo);
    rdShop.Open();
    rdShop.First();
    if (!rdShop.IsEmpty()) rdShop.Edit();
}

void TfrmInfo::FormShow()
{
    edtAllName->setFocus();
}

void TfrmInfo::showEvent(QShowEvent *event)
{
    TDialogBase::showEvent(event);
    FormShow();
}

void TfrmInfo::btnOkClick()
{
    Guard([this] {
        const struct {
            QLineEdit *edit;
            QString message;
        } required[] = {{edtAllName, QStringLiteral("商户全称不能为空,请检查！")},
                        {edtLinkPer, QStringLiteral("商户代表不能为空,请检查！")},
                        {edtTel, QStringLiteral("联系电话不能为空,请检查！")},
                        {edtAddress, QStringLiteral("联系地址不能为空,请检查！")}};
        for (const auto &r : required)
            if (TrimText(r.edit->text()).isEmpty()) {
                MsgInfo(r.message);
                r.edit->setFocus();
                return;
            }
        // Stored as typed: only the emptiness tests trim. A row someone else deleted meanwhile
        // raises an error here and the dialog stays open with the input.
        rdShop.Edit();
        rdShop.Post();
        done(QDialog::Accepted);
    });
}

void TfrmInfo::btnCancelClick()
{
    done(QDialog::Rejected);
}

void TfrmInfo::FormClose()
{
    rdShop.Cancel();
    rdShop.Close();
}

void TfrmInfo::done(int result)
{
    Guard([this] { FormClose(); });
    TDialogBase::done(result);
}
