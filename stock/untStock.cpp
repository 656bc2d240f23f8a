#include "stock/untStock.h"

#include "foundation/ImageIndex.h"
#include "foundation/ui/DBGrid.h"
#include "foundation/ui/KeyPreview.h"
#include "foundation/ui/ToolBar.h"
#include "foundation/ui/untDialog.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untData.h"
#include "shell/Commands.h"
#include "stock/untStockFind.h"
#include "stock/untStockInfo.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPixmap>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TfrmStock *frmStock = nullptr;

namespace {

const QString FormName = QStringLiteral("frmStock");

} // namespace

QList<GridColumn> TfrmStock::Columns()
{
    constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
    constexpr Qt::Alignment Centre = Qt::AlignCenter;
    constexpr Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
    auto column = [](const char *field, const char *title, int width, Qt::Alignment alignment) {
        GridColumn c;
        c.field = QLatin1String(field);
        c.title = QString::fromUtf8(title);
        c.width = width;
        c.alignment = alignment;
        c.titleAlignment = alignment; // titles line up with their cells
        return c;
    };
    return {
        column("ShopName", "商户简称", 100, Left), column("GoodsNo", "商品编号", 150, Left),
        column("OemNo", "原厂编号", 150, Left),    column("GoodsName", "商品名称", 201, Left),
        column("Model", "适用车型", 200, Left),    column("Base", "产地", 100, Left),
        column("Factory", "品牌", 100, Left),      column("Unit", "单位", 50, Centre),
        column("Qty", "库存数", 75, Right),        column("PriceSale", "零售价", 75, Right),
        column("PriceQen", "联盟价", 75, Right),
    };
}

TfrmStock::TfrmStock(QWidget *parent) : QWidget(parent), rdStock(&frmData->rdConn, this)
{
    frmStock = this;
    setObjectName(FormName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("联盟库存"));
    setFont(DialogFont());
    rdStock.SQL =
        QStringList{QStringLiteral("SELECT ShopNo,ShopName,GoodsNo,OemNo,GoodsName,Model,Base,Factory,"
                                   "Unit,Qty,PriceSale,PriceQen FROM Sys_Stock")};

    Toobar = MakeToolBar(this, QStringLiteral("Toobar"));
    tbLocate = AddToolButton(Toobar, "tbLocate", QStringLiteral("速查"), QStringLiteral("库存速查--(0)"),
                             ImageIndex::Search);
    Toobar->addSeparator();
    tbExit = AddToolButton(Toobar, "tbExit", QStringLiteral("退出"), QStringLiteral("退出--(Esc)"),
                           ImageIndex::Exit);

    grdStock = new TDBGrid(&rdStock, Columns(), this);
    grdStock->setObjectName(QStringLiteral("grdStock"));
    QTableView *view = grdStock->View();
    view->setFont(DialogFont());
    view->horizontalHeader()->setFont(DialogFont(14, true));
    view->horizontalHeader()->setFixedHeight(22);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->setShowGrid(true);
    grdStock->SetFooterVisible(false);
    grdStock->SetProportionalWidths(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Toobar);
    layout->addWidget(grdStock, 1);

    connect(tbLocate, &QToolButton::clicked, this, [this] { Guard([this] { tbLocateClick(); }); });
    connect(tbExit, &QToolButton::clicked, this, [this] { Guard([this] { tbExitClick(); }); });
    connect(grdStock, &TDBGrid::DblClick, this, [this] { Guard([this] { grdStockDblClick(); }); });
    new KeyPreview(this, [this](int &key, Qt::KeyboardModifiers modifiers) {
        Guard([&] { FormKeyDown(key, modifiers); });
    });
}

TfrmStock::~TfrmStock()
{
    if (frmStock == this) frmStock = nullptr;
}

void TfrmStock::tbLocateClick()
{
    TfrmStockFind dialog(&rdStock);
    frmStockFind = &dialog;
    dialog.exec();
    frmStockFind = nullptr;
}

void TfrmStock::tbExitClick()
{
    rdStock.Close();
    close();
}

void TfrmStock::grdStockDblClick()
{
    if (!rdStock.Active() || rdStock.RecordCount() == 0) return;
    TfrmStockInfo dialog(rdStock.FieldText(QStringLiteral("ShopNo")));
    frmStockInfo = &dialog;
    dialog.exec();
    frmStockInfo = nullptr;
}

void TfrmStock::FormKeyDown(int &key, Qt::KeyboardModifiers)
{
    switch (key) {
    case Qt::Key_0: // the main keyboard's 0 and the keypad's alike
        tbLocateClick();
        // Consumed: the grid would otherwise take it as a keyboard search and move the row.
        key = 0;
        break;
    case Qt::Key_Space: {
        const QList<GridColumn> &columns = grdStock->Model()->Columns();
        for (int c = 0; c < columns.size(); ++c)
            if (columns[c].field == QLatin1String("PriceQen"))
                grdStock->SetColumnVisible(c, !grdStock->ColumnVisible(c));
        break;
    }
    case Qt::Key_Escape:
        close();
        break;
    default:
        break;
    }
}

void TfrmStock::FormClose()
{
    rdStock.Close();
    CloseCommand(FormName);
}

void TfrmStock::closeEvent(QCloseEvent *event)
{
    Guard([this] { FormClose(); });
    event->accept();
}
