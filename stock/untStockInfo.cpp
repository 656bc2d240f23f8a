#include "stock/untStockInfo.h"

#include "foundation/ui/DBBind.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

TfrmStockInfo *frmStockInfo = nullptr;

namespace {

constexpr int LabelWidth = 76;
constexpr int RowHeight = 24;

QLineEdit *Field(QWidget *parent, Query *query, const char *name, const char *field, const QString &caption,
                 int left, int top, int width)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(left, top, LabelWidth, RowHeight);
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(left + LabelWidth, top, width, RowHeight);
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QToolTip::palette().color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, QToolTip::palette().color(QPalette::ToolTipText));
    edit->setPalette(palette);
    label->setBuddy(edit);
    BindEdit(edit, query, QLatin1String(field));
    return edit;
}

} // namespace

TfrmStockInfo::TfrmStockInfo(const QString &shopNo, QWidget *parent)
    : TDialogBase(parent), rdShop(&frmData->rdConn, this), m_shopNo(shopNo)
{
    setObjectName(QStringLiteral("frmStockInfo"));
    setWindowTitle(QStringLiteral("商家信息"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    SetClientSize(491, 271);

    constexpr int left = 12, wide = 491 - 2 * left - LabelWidth;
    constexpr int right = 252, narrow = 491 - right - left - LabelWidth;
    constexpr int half = right - left - LabelWidth - 12;
    auto row = [](int n) { return 12 + (n - 1) * 31; };
    edtAllName =
        Field(this, &rdShop, "edtAllName", "AllName", QStringLiteral("商户全称："), left, row(1), wide);
    edtLinkPer =
        Field(this, &rdShop, "edtLinkPer", "LinkPer", QStringLiteral("商户代表："), left, row(2), wide);
    edtTel = Field(this, &rdShop, "edtTel", "Tel", QStringLiteral("联系电话："), left, row(3), wide);
    edtAddress =
        Field(this, &rdShop, "edtAddress", "Address", QStringLiteral("联系地址："), left, row(4), wide);
    Per01 = Field(this, &rdShop, "Per01", "Per01", QStringLiteral("业务员01："), left, row(5), half);
    Tel01 = Field(this, &rdShop, "Tel01", "Tel01", QStringLiteral("业务电话："), left, row(6), half);
    QQ01 = Field(this, &rdShop, "QQ01", "QQ01", QStringLiteral("业务 QQ："), left, row(7), half);
    Per02 = Field(this, &rdShop, "Per02", "Per02", QStringLiteral("业务员02："), right, row(5), narrow);
    Tel02 = Field(this, &rdShop, "Tel02", "Tel02", QStringLiteral("业务电话："), right, row(6), narrow);
    QQ02 = Field(this, &rdShop, "QQ02", "QQ02", QStringLiteral("业务 QQ："), right, row(7), narrow);

    bvLine = new QFrame(this);
    bvLine->setFrameShape(QFrame::HLine);
    bvLine->setFrameShadow(QFrame::Sunken);
    bvLine->setGeometry(left, 230, 491 - 2 * left, 2);

    btnCancel = new QPushButton(QStringLiteral("返回(&C)"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(491 - left - 80, 239, 80, 25);
    connect(btnCancel, &QPushButton::clicked, this, [this] { Guard([this] { btnCancelClick(); }); });
    SetCancelButton(btnCancel);

    Guard([this] { FormCreate(); });
}

void TfrmStockInfo::FormCreate()
{
    rdShop.Close();
    rdShop.SQL = QStringList{QStringLiteral("SELECT * FROM Sys_Shop WHERE ShopNo=:ShopNo")};
    rdShop.SetParam(QStringLiteral("ShopNo"), m_shopNo);
    rdShop.Open();
    rdShop.First();
}

void TfrmStockInfo::btnCancelClick()
{
    done(QDialog::Rejected);
}

void TfrmStockInfo::FormClose()
{
    rdShop.Close();
}

void TfrmStockInfo::done(int result)
{
    Guard([this] { FormClose(); });
    TDialogBase::done(result);
}
