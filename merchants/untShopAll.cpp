#include "merchants/untShopAll.h"

#include "foundation/ImageIndex.h"
#include "foundation/ui/BusyCursor.h"
#include "foundation/ui/DBGrid.h"
#include "foundation/ui/KeyPreview.h"
#include "foundation/ui/ToolBar.h"
#include "foundation/ui/untDialog.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "foundation/untPublic.h"
#include "shell/Commands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TfrmShopAll *frmShopAll = nullptr;

namespace {

const QString FullList = QStringLiteral("SELECT * FROM Sys_Shop WHERE State='已上线' ORDER BY ShopNo");
const QString SearchBase = QStringLiteral("SELECT * FROM Sys_Shop WHERE State='已上线' ");
const QString SearchClause =
    QStringLiteral("AND (ShopNo LIKE :ShopNo OR ShopName LIKE :ShopName OR AllName LIKE :AllName OR "
                   "Address LIKE :Address OR LinkPer LIKE :LinkPer OR Tel LIKE :Tel OR Tel01 LIKE :Tel01 OR "
                   "Tel02 LIKE :Tel02) ");
const QString SearchOrder = QStringLiteral("ORDER BY ShopNo");
const char *const SearchedParams[] = {"ShopNo",  "ShopName", "AllName", "Address",
                                      "LinkPer", "Tel",      "Tel01",   "Tel02"};

} // namespace

TfrmShopAll::TfrmShopAll(QWidget *parent) : QWidget(parent), rdShop(&frmData->rdConn)
{
    frmShopAll = this;
    setObjectName(QStringLiteral("frmShopAll"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("商户大全"));
    setFont(DialogFont());

    Toobar = MakeToolBar(this, QStringLiteral("Toobar"));
    tbLocate = AddToolButton(Toobar, "tbLocate", QStringLiteral("速查"), QStringLiteral("速查--(0)"),
                             ImageIndex::QuickSearch);
    Toobar->addSeparator();
    tbExit = AddToolButton(Toobar, "tbExit", QStringLiteral("退出"), QStringLiteral("退出--(Esc)"),
                           ImageIndex::Exit);

    grdShop = new TDBGrid(&rdShop,
                          {MakeColumn(QStringLiteral("ShopNo"), QStringLiteral("商户编号"), 80),
                           MakeColumn(QStringLiteral("AllName"), QStringLiteral("商户全称"), 200),
                           MakeColumn(QStringLiteral("LinkPer"), QStringLiteral("商户代表"), 100),
                           MakeColumn(QStringLiteral("Tel"), QStringLiteral("联系电话"), 100),
                           MakeColumn(QStringLiteral("Per01"), QStringLiteral("业务员01"), 110),
                           MakeColumn(QStringLiteral("Tel01"), QStringLiteral("业务电话"), 110),
                           MakeColumn(QStringLiteral("QQ01"), QStringLiteral("业务QQ号"), 110),
                           MakeColumn(QStringLiteral("Per02"), QStringLiteral("业务员02"), 110),
                           MakeColumn(QStringLiteral("Tel02"), QStringLiteral("业务电话"), 110),
                           MakeColumn(QStringLiteral("QQ02"), QStringLiteral("业务QQ号"), 110),
                           MakeColumn(QStringLiteral("Address"), QStringLiteral("联系地址"), 240)},
                          this);
    grdShop->setObjectName(QStringLiteral("grdShop"));
    // Footer: "合计" under the number, the number of merchants under the full name.
    grdShop->View()->setFont(DialogFont(14));
    grdShop->View()->horizontalHeader()->setFont(DialogFont(14, true));
    grdShop->View()->horizontalHeader()->setFixedHeight(22);
    grdShop->SetFooterVisible(true);
    grdShop->Model()->SetFooter(0, QStringLiteral("合计"));
    connect(&rdShop, &Query::Reset, this, &TfrmShopAll::ShowCount);
    connect(&rdShop, &Query::RowRemoved, this, &TfrmShopAll::ShowCount);
    connect(&rdShop, &Query::RowInserted, this, &TfrmShopAll::ShowCount);
    ShowCount();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Toobar);
    layout->addWidget(grdShop);

    connect(tbLocate, &QToolButton::clicked, this, &TfrmShopAll::tbLocateClick);
    connect(tbExit, &QToolButton::clicked, this, &TfrmShopAll::tbExitClick);
    new KeyPreview(this, [this](int &key, Qt::KeyboardModifiers modifiers) { FormKeyDown(key, modifiers); });

    FormCreate();
}

TfrmShopAll::~TfrmShopAll()
{
    if (frmShopAll == this) frmShopAll = nullptr;
}

void TfrmShopAll::ShowCount()
{
    grdShop->Model()->SetFooter(1, QString::number(rdShop.RecordCount()));
}

void TfrmShopAll::FormCreate()
{
    Guard([this] {
        BusyCursor busy;
        rdShop.Close();
        rdShop.SQL = QStringList{FullList};
        rdShop.Open();
        rdShop.First();
    });
}

bool TfrmShopAll::AskSearchText(QWidget *parent, QString &text)
{
    QInputDialog box(parent);
    box.setWindowTitle(QStringLiteral("商户速查"));
    box.setLabelText(QStringLiteral("输入查询内容:"));
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(QString());
    box.setOkButtonText(QStringLiteral("确定"));
    box.setCancelButtonText(QStringLiteral("取消"));
    box.setFont(DialogFont());
    if (box.exec() != QDialog::Accepted) return false;
    text = box.textValue();
    return true;
}

void TfrmShopAll::tbLocateClick()
{
    Guard([this] {
        QString input;
        if (!AskSearchText(this, input)) return;
        BusyCursor busy;
        rdShop.Close();
        rdShop.ClearParams();
        rdShop.SQL = QStringList{SearchBase};
        const QString text = TrimText(input);
        if (!text.isEmpty()) {
            rdShop.SQL << SearchClause;
            // The user's own wildcards stay wildcards: only the ends get "%".
            for (const char *name : SearchedParams)
                rdShop.SetParam(QLatin1String(name), QLatin1Char('%') + text + QLatin1Char('%'));
        }
        rdShop.SQL << SearchOrder;
        rdShop.Open();
        rdShop.First();
    });
}

void TfrmShopAll::tbExitClick()
{
    close();
}

void TfrmShopAll::FormKeyDown(int &key, Qt::KeyboardModifiers)
{
    // Qt reports the keypad 0 as Key_0 too (with the keypad modifier). Both keys are consumed
    // here so that the grid's type-ahead search doesn't also jump to a row starting with "0".
    if (key == Qt::Key_0) {
        key = 0;
        tbLocateClick();
    } else if (key == Qt::Key_Escape) {
        key = 0;
        tbExitClick();
    }
}

void TfrmShopAll::FormClose()
{
    rdShop.Close();
    CloseCommand(objectName());
}

void TfrmShopAll::closeEvent(QCloseEvent *event)
{
    Guard([this] { FormClose(); });
    event->accept();
}
