// The stock search dialog, the stock browser and the owner's details, on the embedded database.
#include "fixture/Fixture.h"
#include "foundation/SettingsIni.h"
#include "foundation/ui/DBGrid.h"
#include "foundation/untPublic.h"
#include "shell/Commands.h"
#include "shell/untMain.h"
#include "stock/untStock.h"
#include "stock/untStockFind.h"
#include "stock/untStockInfo.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

namespace {

// Runs open(), which shows modal windows; handle(window) is called once for each of them and
// must close it. Returns how many modal windows opened.
int WithModals(const std::function<void()> &open, const std::function<void(QWidget *)> &handle)
{
    int count = 0;
    QPointer<QWidget> last;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == last) return;
        last = modal;
        ++count;
        handle(modal);
    });
    timer.start();
    open();
    return count;
}

void ShowActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

// Adds a stock row; the columns not given are those of an ordinary visible row.
void AddStock(FreshDb &db, const QString &shopNo, const QString &goodsNo, int state,
              const QString &goodsName = QStringLiteral("测试件"), const QString &moreNo = QString())
{
    db.Exec(QStringLiteral(
                "INSERT INTO Sys_Stock (ShopNo, ShopName, GoodsNo, OemNo, GoodsName, Model, Base, "
                "Factory, Unit, Qty, PriceSale, PriceQen, State, GoodsNoA, OemNoA, MoreNo) "
                "SELECT ShopNo, ShopName, ?, '', ?, '通用', '国产', '冠盛', '个', 3, 12.5, 10, ?, '', '', ? "
                "FROM Sys_Shop WHERE ShopNo = ?"),
            {goodsNo, goodsName, state, moreNo, shopNo});
}

// Runs a search on the browser's query through the dialog, as the OK button does.
void Search(TfrmStock &browser, const QString &goodsNo, const QString &model = {}, int order = 0)
{
    TfrmStockFind dialog(&browser.rdStock);
    dialog.edtGoodsNo->setText(goodsNo);
    dialog.edtModel->setText(model);
    dialog.edtOrder->setCurrentIndex(order);
    dialog.RunSearch(0);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

QStringList Column(const Query &query, const QString &field)
{
    QStringList values;
    const int column = query.FieldIndex(field);
    for (int row = 0; row < query.RecordCount(); ++row)
        values << query.Value(row, column).toString();
    return values;
}

// The embedded engine's text order: UTF-8 bytes with ASCII letters folded (COLLATE NOCASE).
QByteArray NoCaseKey(const QString &text)
{
    return text.toUtf8().toLower();
}

void WriteOrder(const QString &value)
{
    settingsIni->WriteString(QStringLiteral("Set"), QStringLiteral("Order"), value);
}

QString ReadOrder()
{
    return settingsIni->ReadString(QStringLiteral("Set"), QStringLiteral("Order"), QStringLiteral("(none)"));
}

} // namespace

class TestStock : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Messages().Clear();
        SetSignedIn(QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("01,03,04,05,06,"));
        WriteOrder(QStringLiteral("0"));
    }

    void cleanup() { QVERIFY(!QApplication::overrideCursor()); }

    // ---- searching -------------------------------------------------------------------------

    // The own merchant's rows and hidden rows never appear; the keyword is looked for in every
    // number column, MoreNo included, without regard to ASCII case.
    void searchFindsOnlyOtherMerchantsVisibleRows()
    {
        FreshDb db;
        AddStock(db, QStringLiteral("A001"), QStringLiteral("QXZ-OWN"), 1);
        AddStock(db, QStringLiteral("A002"), QStringLiteral("QXZ-HIDDEN"), 0);
        AddStock(db, QStringLiteral("B001"), QStringLiteral("QXZ-PENDING"), 0);
        AddStock(db, QStringLiteral("A002"), QStringLiteral("QXZ-1"), 1);
        AddStock(db, QStringLiteral("A003"), QStringLiteral("N-1"), 1, QStringLiteral("测试件"),
                 QStringLiteral("x qxz"));

        TfrmStock browser;
        QList<Qt::CursorShape> cursorDuringOpen;
        connect(&browser.rdStock, &Query::Reset, this, [&] {
            if (browser.rdStock.Active())
                cursorDuringOpen << (QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                                    : Qt::ArrowCursor);
        });
        Search(browser, QStringLiteral("  qxz "));
        QCOMPARE(Column(browser.rdStock, QStringLiteral("GoodsNo")), (QStringList{"N-1", "QXZ-1"}));
        QCOMPARE(Column(browser.rdStock, QStringLiteral("ShopNo")), (QStringList{"A003", "A002"}));
        QCOMPARE(browser.rdStock.RecNo(), 0);
        QCOMPARE(browser.grdStock->Model()->rowCount(), 2);
        QCOMPARE(Messages().Count(), 0);
        QCOMPARE(cursorDuringOpen, QList<Qt::CursorShape>{Qt::WaitCursor});
    }

    // A common name: no more than 200 rows, none of the own or a hidden merchant's.
    void atMost200RowsOfOthers()
    {
        FreshDb db;
        const int matching = db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Stock WHERE State=1 AND "
                                                      "ShopNo<>'A001' AND GoodsName LIKE '%刹车片%'"))
                                 .toInt();
        QVERIFY2(matching > 200, qPrintable(QString::number(matching)));
        TfrmStock browser;
        Search(browser, QStringLiteral("刹车片"));
        QCOMPARE(browser.rdStock.RecordCount(), 200);
        for (const QString &shop : Column(browser.rdStock, QStringLiteral("ShopNo")))
            QVERIFY2(shop != QLatin1String("A001") && shop != QLatin1String("B001") &&
                         shop != QLatin1String("C001"),
                     qPrintable(shop));
        for (const QString &name : Column(browser.rdStock, QStringLiteral("GoodsName")))
            QVERIFY2(name.contains(QStringLiteral("刹车片")), qPrintable(name));
    }

    // "_" and "%" typed by the user act as wildcards.
    void userWildcards_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("underscore: one character") << "QZQ-1_9" << QStringList{"QZQ-1A9", "QZQ-1B9"};
        QTest::newRow("percent: any run")
            << "QZQ-%9" << QStringList{"QZQ-19", "QZQ-1A9", "QZQ-1B9", "QZQ-2CC9"};
        QTest::newRow("plain text") << "QZQ-1A" << QStringList{"QZQ-1A9"};
    }

    void userWildcards()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        FreshDb db;
        for (const char *no : {"QZQ-19", "QZQ-1A9", "QZQ-1B9", "QZQ-2CC9"})
            AddStock(db, QStringLiteral("A002"), QLatin1String(no), 1);
        TfrmStock browser;
        Search(browser, typed);
        QCOMPARE(Column(browser.rdStock, QStringLiteral("GoodsNo")), found);
    }

    // Every sort order is accepted by the engine and gives rows in its order; a number-and-model
    // search keeps both conditions.
    void sortOrdersOnTheEngine_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("keys");
        const char *const keys[] = {"GoodsNo",
                                    "GoodsName",
                                    "Model",
                                    "Base",
                                    "Factory",
                                    "ShopNo",
                                    "GoodsNo,GoodsName",
                                    "GoodsNo,Model",
                                    "GoodsNo,Factory",
                                    "GoodsName,Model",
                                    "GoodsName,Base",
                                    "GoodsName,ShopNo",
                                    "ShopNo,GoodsNo",
                                    "ShopNo,GoodsName"};
        for (int i = 0; i < 14; ++i)
            QTest::addRow("%d", i) << i << QString::fromLatin1(keys[i]).split(QLatin1Char(','));
    }

    void sortOrdersOnTheEngine()
    {
        QFETCH(int, index);
        QFETCH(QStringList, keys);
        FreshDb db;
        TfrmStock browser;
        Search(browser, QStringLiteral("滤清器"), QStringLiteral("朗逸"), index);
        const Query &q = browser.rdStock;
        QVERIFY(q.RecordCount() > 10);
        auto key = [&](int row) {
            QList<QByteArray> k;
            for (const QString &field : keys)
                k << NoCaseKey(q.Value(row, q.FieldIndex(field)).toString());
            return k;
        };
        for (int row = 1; row < q.RecordCount(); ++row) {
            QVERIFY2(!(key(row) < key(row - 1)), qPrintable(QStringLiteral("row %1").arg(row)));
            QVERIFY(q.Value(row, q.FieldIndex(QStringLiteral("Model")))
                        .toString()
                        .contains(QStringLiteral("朗逸")));
        }
    }

    // A search that finds nothing closes the dialog and leaves an empty grid, with no message.
    void noRowsGiveAnEmptyGrid()
    {
        FreshDb db;
        TfrmStock browser;
        Search(browser, QStringLiteral("刹车片"));
        QVERIFY(browser.rdStock.RecordCount() > 0);
        Search(browser, QStringLiteral("没有这种零件ZZZ"));
        QVERIFY(browser.rdStock.Active());
        QCOMPARE(browser.rdStock.RecordCount(), 0);
        QCOMPARE(browser.grdStock->Model()->rowCount(), 0);
        QCOMPARE(Messages().Count(), 0);
    }

    // ---- the dialog ------------------------------------------------------------------------

    void dialogLayout()
    {
        FreshDb db;
        TfrmStock browser;
        TfrmStockFind dialog(&browser.rdStock);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("商品速查(输入条件后回车即可)"));
        QCOMPARE(dialog.size(), QSize(319, 203));
        QCOMPARE(dialog.btnOk->text(), QStringLiteral("确定"));
        QCOMPARE(dialog.btnCancel->text(), QStringLiteral("返回"));
        QCOMPARE(dialog.lbBase->text(), QStringLiteral("产       地："));
        QCOMPARE(dialog.lbFactory->text(), QStringLiteral("品       牌："));
        QCOMPARE(dialog.edtOrder->count(), 14);
        QVERIFY(!dialog.edtOrder->isEditable());
        QVERIFY(!(dialog.edtOrder->focusPolicy() & Qt::TabFocus));
        QVERIFY(!(dialog.btnCancel->focusPolicy() & Qt::TabFocus));
        ShowActive(&dialog);
        // Tab order: the four edits, then OK; the sort list is no tab stop.
        QVERIFY(dialog.edtGoodsNo->hasFocus());
        QTest::keyClick(dialog.edtGoodsNo, Qt::Key_Down);
        QVERIFY(dialog.edtModel->hasFocus());
        QTest::keyClick(dialog.edtModel, Qt::Key_Down);
        QVERIFY(dialog.edtBase->hasFocus());
        QTest::keyClick(dialog.edtBase, Qt::Key_Down);
        QVERIFY(dialog.edtFactory->hasFocus());
        QTest::keyClick(dialog.edtFactory, Qt::Key_Down);
        QVERIFY(dialog.btnOk->hasFocus());
        QTest::keyClick(dialog.btnOk, Qt::Key_Down); // wraps round
        QVERIFY(dialog.edtGoodsNo->hasFocus());
        TypeText(dialog.edtGoodsNo, QStringLiteral("滤清器"));
        GrabToPng(&dialog, QStringLiteral("stock_find"));
    }

    // Blanks only: OK reports it and puts the focus into the first edit; Enter only moves on.
    void blankConditions()
    {
        FreshDb db;
        TfrmStock browser;
        TfrmStockFind dialog(&browser.rdStock);
        ShowActive(&dialog);
        dialog.edtGoodsNo->setText(QStringLiteral("   "));
        dialog.edtBase->setText(QStringLiteral("\t"));
        dialog.edtFactory->setFocus();
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("^_^查询条件不能为空哦,请重试！")});
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Info);
        QVERIFY(dialog.edtGoodsNo->hasFocus());
        QVERIFY(dialog.isVisible());

        Messages().Clear();
        QTest::keyClick(dialog.edtGoodsNo, Qt::Key_Return);
        QVERIFY(dialog.edtModel->hasFocus());
        QTest::keyClick(dialog.edtModel, Qt::Key_Enter); // the keypad's Enter alike
        QVERIFY(dialog.edtBase->hasFocus());
        QCOMPARE(Messages().Count(), 0);
        QVERIFY(dialog.isVisible());
        QVERIFY(!browser.rdStock.Active());
    }

    // Enter in the last edit moves the focus to OK and searches.
    void enterSearches()
    {
        FreshDb db;
        TfrmStock browser;
        TfrmStockFind dialog(&browser.rdStock);
        ShowActive(&dialog);
        dialog.edtFactory->setFocus();
        TypeText(dialog.edtFactory, QStringLiteral("博世"));
        QTest::keyClick(dialog.edtFactory, Qt::Key_Return);
        QVERIFY(dialog.btnOk->hasFocus() || !dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QVERIFY(browser.rdStock.RecordCount() > 0);
        for (const QString &brand : Column(browser.rdStock, QStringLiteral("Factory")))
            QVERIFY2(brand.contains(QStringLiteral("博世")), qPrintable(brand));
        QCOMPARE(browser.rdStock.SQL.at(1), QStringLiteral("AND Factory LIKE :Factory "));
    }

    // "Order" is read on show, written on every change of the selection (even when the dialog
    // is then left with 返回), survives a new dialog and a restart, and leaves the other keys be.
    void orderIsRemembered()
    {
        FreshDb db;
        TfrmStock browser;
        settingsIni->WriteString(QStringLiteral("Set"), QStringLiteral("ShopNo"), QStringLiteral("A002"));
        settingsIni->WriteString(QStringLiteral("Set"), QStringLiteral("UserNo"), QStringLiteral("02"));
        WriteOrder(QStringLiteral("3"));
        {
            TfrmStockFind dialog(&browser.rdStock);
            dialog.show();
            QCOMPARE(dialog.edtOrder->currentIndex(), 3);
            dialog.edtOrder->setCurrentIndex(7);
            QCOMPARE(ReadOrder(), QStringLiteral("7"));
            QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        }
        {
            TfrmStockFind dialog(&browser.rdStock);
            dialog.show();
            QCOMPARE(dialog.edtOrder->currentIndex(), 7);
        }
        // A new start of the program: a new settings object on the same file.
        settingsIniOwner = std::make_unique<SettingsIni>(settingsIni->FileName());
        settingsIni = settingsIniOwner.get();
        {
            TfrmStockFind dialog(&browser.rdStock);
            dialog.show();
            QCOMPARE(dialog.edtOrder->currentIndex(), 7);
            dialog.edtOrder->setCurrentIndex(12);
        }
        QCOMPARE(ReadOrder(), QStringLiteral("12"));
        QCOMPARE(settingsIni->ReadString(QStringLiteral("Set"), QStringLiteral("ShopNo"), {}),
                 QStringLiteral("A002"));
        QCOMPARE(settingsIni->ReadString(QStringLiteral("Set"), QStringLiteral("UserNo"), {}),
                 QStringLiteral("02"));
    }

    // A stored value outside the list selects nothing, is not written back, and the search then
    // has no ORDER BY line.
    void orderOutOfRange_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("selected");
        QTest::newRow("14") << "14" << -1;
        QTest::newRow("-1") << "-1" << -1;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("13") << "13" << 13;
    }

    void orderOutOfRange()
    {
        QFETCH(QString, stored);
        QFETCH(int, selected);
        FreshDb db;
        TfrmStock browser;
        WriteOrder(stored);
        TfrmStockFind dialog(&browser.rdStock);
        dialog.show();
        QCOMPARE(dialog.edtOrder->currentIndex(), selected);
        QCOMPARE(ReadOrder(), stored);
        dialog.edtGoodsNo->setText(QStringLiteral("刹车片"));
        dialog.RunSearch(0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(browser.rdStock.SQL.last().contains(QLatin1String("ORDER BY")), selected >= 0);
        QCOMPARE(browser.rdStock.RecordCount(), 200);
    }

    // 返回 and Esc leave the browser's rows and current row as they were.
    void cancelLeavesRows()
    {
        FreshDb db;
        TfrmStock browser;
        Search(browser, QStringLiteral("刹车片"));
        browser.rdStock.MoveTo(5);
        const QString sql = browser.rdStock.SQL.join(QLatin1Char('\n'));
        for (int viaEsc = 0; viaEsc < 2; ++viaEsc) {
            TfrmStockFind dialog(&browser.rdStock);
            ShowActive(&dialog);
            dialog.edtGoodsNo->setText(QStringLiteral("滤清器"));
            if (viaEsc)
                QTest::keyClick(dialog.edtGoodsNo, Qt::Key_Escape);
            else
                QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(browser.rdStock.RecordCount(), 200);
            QCOMPARE(browser.rdStock.RecNo(), 5);
            QCOMPARE(browser.rdStock.SQL.join(QLatin1Char('\n')), sql);
        }
        QCOMPARE(Messages().Count(), 0);
    }

    // A statement that fails gives the fixed message, keeps the dialog open and leaves the
    // browser's query closed and its grid empty.
    void statementFailure()
    {
        FreshDb db;
        TfrmStock browser;
        Search(browser, QStringLiteral("刹车片"));
        QCOMPARE(browser.grdStock->Model()->rowCount(), 200);
        db.Exec(QStringLiteral("ALTER TABLE Sys_Stock RENAME TO Sys_Stock_Old"));

        TfrmStockFind dialog(&browser.rdStock);
        ShowActive(&dialog);
        dialog.edtModel->setText(QStringLiteral("朗逸"));
        dialog.edtModel->setFocus();
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("对不起,查询执行错误,请重试！")});
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Warn);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.edtGoodsNo->hasFocus());
        QVERIFY(!browser.rdStock.Active());
        QCOMPARE(browser.grdStock->Model()->rowCount(), 0);
    }

    // A connection that cannot be opened: its own message, the browser untouched.
    void connectionFailure()
    {
        FreshDb db;
        db.Data()->rdConn.SetEmbeddedPath(QStringLiteral("/proc/qen-no-such-dir/alliance.db"));
        TfrmStock browser;
        TfrmStockFind dialog(&browser.rdStock);
        dialog.show();
        dialog.edtGoodsNo->setText(QStringLiteral("刹车片"));
        dialog.RunSearch(1);
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("联盟服务器连接失败,请检查！")});
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Warn);
        QVERIFY(dialog.isVisible());
        QVERIFY(!browser.rdStock.Active());
    }

    // ---- the browser -----------------------------------------------------------------------

    void browserLayout()
    {
        FreshDb db;
        TfrmStock browser;
        QCOMPARE(browser.objectName(), QStringLiteral("frmStock"));
        QVERIFY(browser.testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(browser.tbLocate->text(), QStringLiteral("速查"));
        QCOMPARE(browser.tbLocate->toolTip(), QStringLiteral("库存速查--(0)"));
        QCOMPARE(browser.tbExit->text(), QStringLiteral("退出"));
        QCOMPARE(browser.tbExit->toolTip(), QStringLiteral("退出--(Esc)"));
        QCOMPARE(browser.Toobar->height(), 48);

        struct Expected {
            const char *field, *title;
            int width;
            Qt::Alignment alignment;
        };
        const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter,
                            right = Qt::AlignRight | Qt::AlignVCenter;
        const Expected expected[] = {
            {"ShopName", "商户简称", 100, left}, {"GoodsNo", "商品编号", 150, left},
            {"OemNo", "原厂编号", 150, left},    {"GoodsName", "商品名称", 201, left},
            {"Model", "适用车型", 200, left},    {"Base", "产地", 100, left},
            {"Factory", "品牌", 100, left},      {"Unit", "单位", 50, Qt::AlignCenter},
            {"Qty", "库存数", 75, right},        {"PriceSale", "零售价", 75, right},
            {"PriceQen", "联盟价", 75, right},
        };
        const GridModel *model = browser.grdStock->Model();
        QCOMPARE(model->columnCount(), 11);
        for (int c = 0; c < 11; ++c) {
            const GridColumn &column = model->Columns()[c];
            QCOMPARE(column.field, QLatin1String(expected[c].field));
            QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                     QString::fromUtf8(expected[c].title));
            QCOMPARE(column.width, expected[c].width);
            QCOMPARE(column.alignment, expected[c].alignment);
            QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                     expected[c].alignment);
            QVERIFY(browser.grdStock->ColumnVisible(c));
        }
        QVERIFY(!browser.grdStock->FooterVisible());
        QVERIFY(!browser.rdStock.Active());
        QCOMPARE(model->rowCount(), 0);
    }

    // Numbers in general format, right-aligned; cells follow the query's rows.
    void numberFormat()
    {
        FreshDb db;
        db.Exec(
            QStringLiteral("UPDATE Sys_Stock SET Qty=3, PriceSale=1234567.5, PriceQen=0.1 WHERE GoodsNo IN "
                           "(SELECT GoodsNo FROM Sys_Stock WHERE ShopNo='A002' LIMIT 1)"));
        const QString goodsNo =
            db.Scalar(QStringLiteral("SELECT GoodsNo FROM Sys_Stock WHERE ShopNo='A002' AND PriceQen=0.1"))
                .toString();
        TfrmStock browser;
        Search(browser, goodsNo);
        QVERIFY(browser.rdStock.RecordCount() >= 1);
        const GridModel *model = browser.grdStock->Model();
        QCOMPARE(model->CellText(0, 8), QStringLiteral("3"));
        QCOMPARE(model->CellText(0, 9), QStringLiteral("1234567.5"));
        QCOMPARE(model->CellText(0, 10), QStringLiteral("0.1"));
    }

    // 0 on either keyboard part opens a fresh search dialog with empty conditions and the
    // stored sort order.
    void zeroOpensSearch_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("main keyboard") << Qt::KeyboardModifiers(Qt::NoModifier);
        QTest::newRow("keypad") << Qt::KeyboardModifiers(Qt::KeypadModifier);
    }

    void zeroOpensSearch()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        FreshDb db;
        TfrmStock browser;
        browser.resize(900, 500);
        ShowActive(&browser);
        browser.grdStock->View()->setFocus();
        WriteOrder(QStringLiteral("4"));
        QStringList seen;
        auto handle = [&](QWidget *modal) {
            auto *dialog = qobject_cast<TfrmStockFind *>(modal);
            QVERIFY(dialog);
            QCOMPARE(frmStockFind, dialog);
            seen << dialog->edtGoodsNo->text() + QLatin1Char('|') +
                        QString::number(dialog->edtOrder->currentIndex());
            dialog->edtGoodsNo->setText(QStringLiteral("left behind"));
            dialog->btnCancel->click();
        };
        for (int i = 0; i < 2; ++i) {
            ShowActive(&browser); // as the main window becomes active again after a dialog
            browser.grdStock->View()->setFocus();
            QCOMPARE(
                WithModals([&] { QTest::keyClick(browser.grdStock->View(), Qt::Key_0, modifiers); }, handle),
                1);
        }
        QCOMPARE(seen, (QStringList{"|4", "|4"}));
        QVERIFY(!frmStockFind);
    }

    // Space hides and shows the alliance-price column, nothing else.
    void spaceTogglesAlliancePrice()
    {
        FreshDb db;
        TfrmStock browser;
        browser.resize(900, 500);
        ShowActive(&browser);
        browser.grdStock->View()->setFocus();
        const int priceQen = browser.grdStock->Model()->ColumnOfField(QStringLiteral("PriceQen"));
        for (bool visible : {false, true}) {
            QTest::keyClick(browser.grdStock->View(), Qt::Key_Space);
            for (int c = 0; c < 11; ++c)
                QCOMPARE(browser.grdStock->ColumnVisible(c), c == priceQen ? visible : true);
            // A new search keeps the choice, and the columns still share the grid's width.
            Search(browser, QStringLiteral("刹车片"));
            QCOMPARE(browser.grdStock->ColumnVisible(priceQen), visible);
            int total = 0;
            for (int c = 0; c < 11; ++c)
                if (browser.grdStock->ColumnVisible(c)) total += browser.grdStock->View()->columnWidth(c);
            const int viewport = browser.grdStock->View()->viewport()->width();
            QVERIFY2(qAbs(total - viewport) <= 11,
                     qPrintable(QStringLiteral("%1 of %2").arg(total).arg(viewport)));
        }
    }

    // A double click on an empty or closed grid opens nothing.
    void doubleClickOnEmptyGrid()
    {
        FreshDb db;
        TfrmStock browser;
        QCOMPARE(WithModals([&] { browser.grdStockDblClick(); }, [](QWidget *w) { w->close(); }), 0);
        Search(browser, QStringLiteral("没有这种零件ZZZ"));
        QCOMPARE(WithModals([&] { browser.grdStockDblClick(); }, [](QWidget *w) { w->close(); }), 0);
        QCOMPARE(Messages().Count(), 0);
    }

    // A double click on a row shows that row's owner; 返回, Alt+C and Esc close the details.
    void doubleClickShowsOwner_data()
    {
        QTest::addColumn<QString>("closer");
        QTest::newRow("button") << "button";
        QTest::newRow("Alt+C") << "alt-c";
        QTest::newRow("Esc") << "esc";
    }

    void doubleClickShowsOwner()
    {
        QFETCH(QString, closer);
        FreshDb db;
        TfrmStock browser;
        browser.resize(1000, 600);
        ShowActive(&browser);
        Search(browser, QStringLiteral("刹车片"), QStringLiteral("朗逸"), 12); // by merchant: A002's first
        const QStringList shops = Column(browser.rdStock, QStringLiteral("ShopNo"));
        const int row = int(shops.indexOf(QStringLiteral("A003")));
        QVERIFY(row > 0);
        browser.grdStock->View()->scrollTo(browser.grdStock->Model()->index(row, 0));
        const QRect cell = browser.grdStock->View()->visualRect(browser.grdStock->Model()->index(row, 1));

        QStringList shown;
        const int opened = WithModals(
            [&] {
                QWidget *viewport = browser.grdStock->View()->viewport();
                QTest::mouseClick(viewport, Qt::LeftButton, {}, cell.center());
                QTest::mouseDClick(viewport, Qt::LeftButton, {}, cell.center());
            },
            [&](QWidget *modal) {
                auto *info = qobject_cast<TfrmStockInfo *>(modal);
                QVERIFY(info);
                QCOMPARE(frmStockInfo, info);
                for (QLineEdit *e :
                     {info->edtAllName, info->edtLinkPer, info->edtTel, info->edtAddress, info->Per01,
                      info->Tel01, info->QQ01, info->Per02, info->Tel02, info->QQ02})
                    shown << e->text();
                if (closer == QLatin1String("button"))
                    QTest::mouseClick(info->btnCancel, Qt::LeftButton);
                else if (closer == QLatin1String("alt-c"))
                    QTest::keyClick(info, Qt::Key_C, Qt::AltModifier);
                else
                    QTest::keyClick(info, Qt::Key_Escape);
                if (info->isVisible()) info->done(QDialog::Rejected); // ends the test instead of hanging it
            });
        QCOMPARE(opened, 1);
        QCOMPARE(browser.rdStock.RecNo(), row);
        QStringList expected;
        for (const char *f :
             {"AllName", "LinkPer", "Tel", "Address", "Per01", "Tel01", "QQ01", "Per02", "Tel02", "QQ02"})
            expected << db.Scalar(QStringLiteral("SELECT %1 FROM Sys_Shop WHERE ShopNo='A003'")
                                      .arg(QLatin1String(f)))
                            .toString();
        QCOMPARE(shown, expected);
        QCOMPARE(shown.first(), QStringLiteral("北京京通伟业汽车配件销售中心"));
        QVERIFY(!frmStockInfo);
        QCOMPARE(Messages().Count(), 0);
    }

    // The details of any merchant whatever its state; empty fields for one that is gone.
    void detailsWhateverTheState_data()
    {
        QTest::addColumn<QString>("shopNo");
        QTest::newRow("online") << "A002";
        QTest::newRow("pending") << "B001";
        QTest::newRow("blocked") << "C001";
        QTest::newRow("gone") << "Z999";
    }

    void detailsWhateverTheState()
    {
        QFETCH(QString, shopNo);
        FreshDb db;
        TfrmStockInfo info(shopNo);
        QCOMPARE(info.windowTitle(), QStringLiteral("商家信息"));
        QCOMPARE(info.size(), QSize(491, 271));
        QCOMPARE(info.btnCancel->text(), QStringLiteral("返回(&C)"));
        const QVariant allName =
            db.Scalar(QStringLiteral("SELECT AllName FROM Sys_Shop WHERE ShopNo=?"), {shopNo});
        QCOMPARE(info.edtAllName->text(), allName.toString());
        QCOMPARE(allName.isValid(), shopNo != QLatin1String("Z999"));
        QCOMPARE(info.Tel02->text(),
                 db.Scalar(QStringLiteral("SELECT Tel02 FROM Sys_Shop WHERE ShopNo=?"), {shopNo}).toString());
        for (QLineEdit *e : info.findChildren<QLineEdit *>())
            QVERIFY(e->isReadOnly());
        QCOMPARE(Messages().Count(), 0);
        if (shopNo == QLatin1String("A002")) GrabToPng(&info, QStringLiteral("stock_info"));
    }

    // Esc closes the browser and frees it; a new one starts empty with the price column shown.
    void escClosesBrowser()
    {
        FreshDb db;
        QPointer<QWidget> browser = CreateWorkspaceForm(QStringLiteral("frmStock"), nullptr);
        QVERIFY(qobject_cast<TfrmStock *>(browser));
        QCOMPARE(frmStock, browser.data());
        auto *stock = static_cast<TfrmStock *>(browser.data());
        Search(*stock, QStringLiteral("刹车片"));
        QTest::keyClick(stock->grdStock->View(), Qt::Key_Space); // hides the price column
        ShowActive(browser);
        stock->grdStock->View()->setFocus();
        bool closedQuery = false;
        connect(&stock->rdStock, &Query::Reset, this, [&] { closedQuery = !stock->rdStock.Active(); });
        QTest::keyClick(stock->grdStock->View(), Qt::Key_Escape);
        QVERIFY(closedQuery);
        QTRY_VERIFY(browser.isNull());
        QVERIFY(!frmStock);

        TfrmStock again;
        QVERIFY(!again.rdStock.Active());
        QVERIFY(again.grdStock->ColumnVisible(10));
    }

    void exitButtonClosesBrowser()
    {
        FreshDb db;
        QPointer<TfrmStock> browser = new TfrmStock;
        Search(*browser, QStringLiteral("刹车片"));
        browser->show();
        browser->tbExit->click();
        QTRY_VERIFY(browser.isNull());
    }

    // The whole errand inside the main window: 联盟库存, 0, a part number, Enter, the rows of the
    // other merchants; a double click shows the owner; Esc closes the browser and its tab.
    void errandInTheMainWindow()
    {
        FreshDb db;
        const QString goodsNo =
            db.Scalar(QStringLiteral("SELECT GoodsNo FROM Sys_Stock WHERE ShopNo='A002' AND State=1 LIMIT 1"))
                .toString();
        TfrmMain main(false);
        main.resize(1100, 700);
        ShowActive(&main);
        main.OpenCommand(QStringLiteral("=frmStock"), QStringLiteral("联盟库存"));
        auto *browser = qobject_cast<TfrmStock *>(main.WorkspaceForm(QStringLiteral("frmStock")));
        QVERIFY(browser);
        QCOMPARE(main.TaskList, (QStringList{"DeskTop", "=frmStock"}));
        browser->grdStock->View()->setFocus();

        const int searches = WithModals([&] { QTest::keyClick(browser->grdStock->View(), Qt::Key_0); },
                                        [&](QWidget *modal) {
                                            auto *find = qobject_cast<TfrmStockFind *>(modal);
                                            QVERIFY(find);
                                            QTest::keyClicks(find->edtGoodsNo, goodsNo);
                                            QTest::keyClick(find->edtGoodsNo, Qt::Key_Return);
                                            if (find->isVisible()) find->done(QDialog::Rejected);
                                        });
        QCOMPARE(searches, 1);
        QVERIFY(browser->rdStock.RecordCount() >= 1);
        for (const QString &shop : Column(browser->rdStock, QStringLiteral("ShopNo")))
            QVERIFY(shop != QLatin1String("A001"));
        QVERIFY(Column(browser->rdStock, QStringLiteral("GoodsNo")).contains(goodsNo));
        GrabToPng(&main, QStringLiteral("stock_in_main"));

        const int row = int(Column(browser->rdStock, QStringLiteral("GoodsNo")).indexOf(goodsNo));
        const QString owner = Column(browser->rdStock, QStringLiteral("ShopNo")).at(row);
        const QRect cell = browser->grdStock->View()->visualRect(browser->grdStock->Model()->index(row, 1));
        QString shownTel;
        const int details = WithModals(
            [&] {
                QWidget *viewport = browser->grdStock->View()->viewport();
                QTest::mouseClick(viewport, Qt::LeftButton, {}, cell.center());
                QTest::mouseDClick(viewport, Qt::LeftButton, {}, cell.center());
            },
            [&](QWidget *modal) {
                auto *info = qobject_cast<TfrmStockInfo *>(modal);
                QVERIFY(info);
                shownTel = info->edtTel->text();
                info->btnCancel->click();
            });
        QCOMPARE(details, 1);
        QCOMPARE(shownTel,
                 db.Scalar(QStringLiteral("SELECT Tel FROM Sys_Shop WHERE ShopNo=?"), {owner}).toString());

        ShowActive(&main);
        browser->grdStock->View()->setFocus();
        QPointer<TfrmStock> closing = browser;
        QTest::keyClick(browser->grdStock->View(), Qt::Key_Escape);
        QTRY_VERIFY(closing.isNull());
        QCOMPARE(main.TaskList, QStringList{"DeskTop"});
        QCOMPARE(main.tbTask->count(), 1);
        QCOMPARE(Messages().Count(), 0);
    }

    // The browser with real demo rows, for a look.
    void screenshot()
    {
        FreshDb db;
        TfrmStock browser;
        browser.resize(1100, 560);
        ShowActive(&browser);
        Search(browser, QStringLiteral("滤清器"), QStringLiteral("朗逸"), 1);
        QVERIFY(browser.rdStock.RecordCount() > 0);
        GrabToPng(&browser, QStringLiteral("stock_browser"));
    }
};

QEN_TEST_MAIN(TestStock)
#include "test_stock.moc"
