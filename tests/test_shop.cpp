// The administrator's merchant management and its editor: filters, colours, state changes and
// the stock visibility they switch, the authorised-users box, deletions and their refusals.
#include "fixture/Fixture.h"
#include "foundation/ui/DBGrid.h"
#include "merchants/untShop.h"
#include "merchants/untShopEdit.h"
#include "stock/StockQuery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

const QString Waiting = QStringLiteral("待审核");
const QString Online = QStringLiteral("已上线");
const QString Blocked = QStringLiteral("已屏蔽");

void SignInAsAdministrator(const QString &shopNo = QStringLiteral("0000"))
{
    SetSignedIn(shopNo, QStringLiteral("01"), QStringLiteral("01,02,03,04,05,06,"));
}

QStringList ListedShops(const Query &query)
{
    QStringList shops;
    const int column = query.FieldIndex(QStringLiteral("ShopNo"));
    for (int row = 0; row < query.RecordCount(); ++row)
        shops << query.Value(row, column).toString();
    return shops;
}

bool GoTo(TfrmShop &shop, const QString &shopNo)
{
    const int row = int(ListedShops(shop.rdShop).indexOf(shopNo));
    if (row < 0) return false;
    shop.rdShop.MoveTo(row);
    return shop.rdShop.FieldText(QStringLiteral("ShopNo")) == shopNo;
}

struct EditorRun {
    bool opened = false;
    bool leftOpen = false; // act left the editor open; it was then cancelled
};

// Runs open (which should show the editor modally), lets act work on the editor, and cancels the
// editor if act left it open. The editor is looked for whenever events are processed, since input
// simulation may process events before the editor opens.
EditorRun RunEditor(const std::function<void()> &open, const std::function<void(TfrmShopEdit &)> &act)
{
    EditorRun run;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *editor = qobject_cast<TfrmShopEdit *>(QApplication::activeModalWidget());
        if (!editor) return;
        poll.stop();
        run.opened = true;
        act(*editor);
        if (editor->isVisible()) {
            run.leftOpen = true;
            editor->btnCancel->click();
        }
    });
    poll.start();
    open();
    poll.stop();
    return run;
}

int VisibleStock(FreshDb &db, const QString &shopNo)
{
    return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Stock WHERE State=1 AND ShopNo=?"), {shopNo})
        .toInt();
}

int AllStock(FreshDb &db, const QString &shopNo)
{
    return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Stock WHERE ShopNo=?"), {shopNo}).toInt();
}

int Count(FreshDb &db, const QString &table, const QString &shopNo)
{
    return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ShopNo=?").arg(table), {shopNo}).toInt();
}

// The owners of the rows another merchant's stock search finds for a part number.
QSet<QString> OwnersFound(const QString &searcher, const QString &goodsNo)
{
    StockConditions conditions;
    conditions.goodsNo = goodsNo;
    const StockStatement statement = BuildStockQuery(conditions, 0, searcher);
    Query search(&frmData->rdConn);
    search.SQL = statement.lines;
    for (const auto &param : statement.params)
        search.SetParam(param.first, param.second);
    search.Open();
    QSet<QString> owners;
    for (search.First(); !search.Eof(); search.Next())
        owners << search.FieldText(QStringLiteral("ShopNo"));
    return owners;
}

QString StoredText(FreshDb &db, const QString &column, const QString &shopNo)
{
    return db.Scalar(QStringLiteral("SELECT %1 FROM Sys_Shop WHERE ShopNo=?").arg(column), {shopNo})
        .toString();
}

} // namespace

class TestShop : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Messages().Clear();
        SignInAsAdministrator();
    }

    void opensWithEveryMerchant()
    {
        FreshDb db;
        TfrmShop shop;
        QCOMPARE(frmShop, &shop);
        QCOMPARE(shop.windowTitle(), QStringLiteral("商户管理"));
        QCOMPARE(shop.size(), QSize(1038, 559));
        QCOMPARE(shop.rdShop.StatementText(), QStringLiteral("SELECT * FROM Sys_Shop"));
        QVERIFY(shop.rdAll->isChecked());
        QCOMPARE(shop.rdShop.RecordCount(),
                 db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Shop")).toInt());
        QCOMPARE(shop.rdShop.RecordCount(), 10);
        QCOMPARE(shop.rdShop.RecNo(), 0);

        GridModel *model = shop.grdShop->Model();
        const QStringList titles{"商户编号", "商户简称", "商户全称", "商户代表",
                                 "联系电话", "授权用户", "当前状态", "联系地址"};
        const QList<int> widths{80, 100, 200, 100, 100, 80, 80, 240};
        QCOMPARE(model->columnCount(), titles.size());
        for (int c = 0; c < titles.size(); ++c) {
            QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
            QCOMPARE(shop.grdShop->View()->columnWidth(c), widths[c]);
            const bool centred = c == 5 || c == 6;
            QCOMPARE(bool(model->Columns()[c].alignment & Qt::AlignHCenter), centred);
        }
        QCOMPARE(model->Footer(0), QStringLiteral("合计"));
        QCOMPARE(model->Footer(2), QStringLiteral("10"));
        QCOMPARE(Messages().Count(), 0);

        shop.show();
        GrabToPng(&shop, QStringLiteral("frmShop"));
    }

    void filters()
    {
        FreshDb db;
        TfrmShop shop;
        // Choosing the filter already chosen does nothing: the opening list stays unordered.
        shop.rdAll->click();
        QCOMPARE(shop.rdShop.StatementText(), QStringLiteral("SELECT * FROM Sys_Shop"));

        const struct {
            QRadioButton *radio;
            QString statement;
            QStringList shops;
        } cases[] = {
            {shop.rdUp, "SELECT * FROM Sys_Shop WHERE State='待审核' ORDER BY ShopNo", {"B001", "B002"}},
            {shop.rdOn,
             "SELECT * FROM Sys_Shop WHERE State='已上线' ORDER BY ShopNo",
             {"0000", "A001", "A002", "A003", "A004", "A005", "A006"}},
            {shop.rdDown, "SELECT * FROM Sys_Shop WHERE State='已屏蔽' ORDER BY ShopNo", {"C001"}},
            {shop.rdAll,
             "SELECT * FROM Sys_Shop ORDER BY ShopNo",
             {"0000", "A001", "A002", "A003", "A004", "A005", "A006", "B001", "B002", "C001"}},
        };
        for (const auto &c : cases) {
            c.radio->click();
            QCOMPARE(shop.rdShop.StatementText(), c.statement);
            QCOMPARE(ListedShops(shop.rdShop), c.shops);
            QCOMPARE(shop.grdShop->Model()->Footer(2), QString::number(c.shops.size()));
        }
        QCOMPARE(Messages().Count(), 0);
    }

    void rowsColouredByState()
    {
        FreshDb db;
        TfrmShop shop;
        GridModel *model = shop.grdShop->Model();
        const int stateColumn = shop.rdShop.FieldIndex(QStringLiteral("State"));
        QSet<QString> seen;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QString state = shop.rdShop.Value(row, stateColumn).toString();
            seen << state;
            const QColor expected = state == Waiting   ? QColor(0, 128, 128)
                                    : state == Blocked ? QColor(255, 0, 0)
                                                       : QColor();
            for (int column = 0; column < model->columnCount(); ++column)
                QCOMPARE(model->data(model->index(row, column), Qt::ForegroundRole).value<QColor>(),
                         expected);
        }
        QCOMPARE(seen, (QSet<QString>{Waiting, Online, Blocked}));
    }

    void stateChange_data()
    {
        QTest::addColumn<QString>("shopNo");
        QTest::addColumn<QString>("newState");
        QTest::addColumn<int>("newUsers");
        QTest::addColumn<bool>("newLocked");
        QTest::addColumn<int>("expectedVisible"); // -1: the stock is left as it was
        // B001 waits for review, A002 is online, C001 is blocked.
        QTest::newRow("approve: waiting to online") << "B001" << Online << 1 << false << 1;
        QTest::newRow("unblock: blocked to online") << "C001" << Online << 2 << false << 1;
        QTest::newRow("block: online to blocked") << "A002" << Blocked << 5 << false << 0;
        QTest::newRow("online back to waiting") << "A002" << Waiting << 5 << false << 0;
        QTest::newRow("waiting to blocked still writes 0") << "B001" << Blocked << 1 << false << 0;
        QTest::newRow("only users changed") << "A002" << Online << 9 << false << -1;
        QTest::newRow("only lock changed") << "A002" << Online << 5 << true << -1;
    }

    void stateChange()
    {
        QFETCH(QString, shopNo);
        QFETCH(QString, newState);
        QFETCH(int, newUsers);
        QFETCH(bool, newLocked);
        QFETCH(int, expectedVisible);
        FreshDb db;
        // Mixed visibility shows whether the stock statement ran: it makes all rows equal.
        db.Exec(QStringLiteral("UPDATE Sys_Stock SET State=1-State WHERE ShopNo=? AND Id % 3 = 0"), {shopNo});
        const int total = AllStock(db, shopNo);
        const int visibleBefore = VisibleStock(db, shopNo);
        QVERIFY(total > 0);
        QVERIFY(visibleBefore > 0 && visibleBefore < total);

        TfrmShop shop;
        QVERIFY(GoTo(shop, shopNo));
        const QString oldState = shop.rdShop.FieldText(QStringLiteral("State"));
        const EditorRun run =
            RunEditor([&] { shop.tbEditClick(); },
                      [&](TfrmShopEdit &editor) {
                          QCOMPARE(editor.OldState, oldState);
                          QCOMPARE(editor.edtShopNo->text(), shopNo);
                          QCOMPARE(editor.edtState->currentText(), oldState);
                          editor.edtState->setCurrentIndex(editor.edtState->findText(newState));
                          editor.RzDBSpinEdit1->setValue(newUsers);
                          editor.RzDBCheckBox1->setChecked(newLocked);
                          editor.btnOk->click();
                      });
        QVERIFY(run.opened);
        QVERIFY(!run.leftOpen);
        QCOMPARE(Messages().Texts(), QStringList());
        QVERIFY(!frmShopEdit);

        QCOMPARE(StoredText(db, "State", shopNo), newState);
        QCOMPARE(StoredText(db, "Users", shopNo).toInt(), newUsers);
        QCOMPARE(StoredText(db, "Locked", shopNo).toInt(), newLocked ? 1 : 0);
        QCOMPARE(VisibleStock(db, shopNo), expectedVisible < 0 ? visibleBefore : expectedVisible * total);
        QCOMPARE(AllStock(db, shopNo), total);

        // The list shows the stored values and keeps the row where it was.
        QCOMPARE(shop.rdShop.GetState(), Query::State::Browse);
        QCOMPARE(shop.rdShop.FieldText(QStringLiteral("ShopNo")), shopNo);
        QCOMPARE(shop.rdShop.FieldText(QStringLiteral("State")), newState);
        QCOMPARE(shop.rdShop.FieldInt(QStringLiteral("Users")), newUsers);
    }

    void approvedStockIsFoundBlockedStockIsNot()
    {
        FreshDb db;
        const QString part =
            db.Scalar(QStringLiteral("SELECT GoodsNo FROM Sys_Stock WHERE ShopNo='B001' ORDER BY Id LIMIT 1"))
                .toString();
        QVERIFY(!part.isEmpty());
        QVERIFY(!OwnersFound(QStringLiteral("A001"), part).contains(QStringLiteral("B001")));

        TfrmShop shop;
        auto setState = [&](const QString &state) {
            QVERIFY(GoTo(shop, QStringLiteral("B001")));
            const EditorRun run =
                RunEditor([&] { shop.tbEditClick(); },
                          [&](TfrmShopEdit &editor) {
                              editor.edtState->setCurrentIndex(editor.edtState->findText(state));
                              editor.btnOk->click();
                          });
            QVERIFY(run.opened && !run.leftOpen);
        };
        setState(Online);
        QVERIFY(OwnersFound(QStringLiteral("A001"), part).contains(QStringLiteral("B001")));
        setState(Blocked);
        QVERIFY(!OwnersFound(QStringLiteral("A001"), part).contains(QStringLiteral("B001")));
        QCOMPARE(Messages().Count(), 0);
    }

    void approvedMerchantStaysInTheWaitingList()
    {
        FreshDb db;
        TfrmShop shop;
        shop.rdUp->click();
        QVERIFY(GoTo(shop, QStringLiteral("B001")));
        const EditorRun run =
            RunEditor([&] { shop.tbEditClick(); },
                      [](TfrmShopEdit &editor) {
                          editor.edtState->setCurrentIndex(editor.edtState->findText(Online));
                          editor.btnOk->click();
                      });
        QVERIFY(run.opened && !run.leftOpen);
        QCOMPARE(ListedShops(shop.rdShop), (QStringList{"B001", "B002"}));
        const QModelIndex cell = shop.grdShop->Model()->index(0, 0);
        QCOMPARE(shop.grdShop->Model()->data(cell, Qt::ForegroundRole).value<QColor>(), QColor());
        shop.rdOn->click();
        QVERIFY(ListedShops(shop.rdShop).contains(QStringLiteral("B001")));
    }

    void cancelUndoesTheEdits_data()
    {
        QTest::addColumn<bool>("byEsc");
        QTest::newRow("取消 button") << false;
        QTest::newRow("Esc") << true;
    }

    void cancelUndoesTheEdits()
    {
        QFETCH(bool, byEsc);
        FreshDb db;
        const int visible = VisibleStock(db, QStringLiteral("A001"));
        TfrmShop shop;
        QVERIFY(GoTo(shop, QStringLiteral("A001")));
        const EditorRun run = RunEditor(
            [&] { shop.tbEditClick(); },
            [&](TfrmShopEdit &editor) {
                editor.edtState->setCurrentIndex(editor.edtState->findText(Blocked));
                editor.RzDBSpinEdit1->setValue(42);
                editor.RzDBCheckBox1->setChecked(true);
                QCOMPARE(shop.rdShop.FieldText(QStringLiteral("State")), Blocked); // pending in the row
                if (byEsc)
                    QTest::keyClick(editor.edtState, Qt::Key_Escape);
                else
                    editor.btnCancel->click();
            });
        QVERIFY(run.opened);
        QVERIFY(!run.leftOpen);
        QCOMPARE(shop.rdShop.GetState(), Query::State::Browse);
        QCOMPARE(shop.rdShop.FieldText(QStringLiteral("State")), Online);
        QCOMPARE(shop.rdShop.FieldInt(QStringLiteral("Users")), 5);
        QVERIFY(!shop.rdShop.FieldBool(QStringLiteral("Locked")));
        QCOMPARE(StoredText(db, "State", "A001"), Online);
        QCOMPARE(StoredText(db, "Users", "A001").toInt(), 5);
        QCOMPARE(VisibleStock(db, QStringLiteral("A001")), visible);
        QCOMPARE(Messages().Count(), 0);
    }

    void storeThatReachesNoRowIsAnError()
    {
        FreshDb db;
        TfrmShop shop;
        QVERIFY(GoTo(shop, QStringLiteral("B002")));
        const EditorRun run =
            RunEditor([&] { shop.tbEditClick(); },
                      [&](TfrmShopEdit &editor) {
                          // Someone else deletes the merchant while the editor is open.
                          db.Exec(QStringLiteral("DELETE FROM Sys_Shop WHERE ShopNo='B002'"));
                          editor.edtState->setCurrentIndex(editor.edtState->findText(Online));
                          editor.btnOk->click();
                          QCOMPARE(Messages().Count(), 1);
                          QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Error);
                          QVERIFY(editor.isVisible()); // still usable: the edits are pending
                          QCOMPARE(shop.rdShop.GetState(), Query::State::Edit);
                      });
        QVERIFY(run.opened);
        QVERIFY(run.leftOpen);
        QCOMPARE(shop.rdShop.GetState(), Query::State::Browse);
        QCOMPARE(shop.rdShop.FieldText(QStringLiteral("State")), Waiting);
    }

    void failedStockStatementCanBeRetried()
    {
        FreshDb db;
        TfrmShop shop;
        QVERIFY(GoTo(shop, QStringLiteral("B001")));
        const int total = AllStock(db, QStringLiteral("B001"));
        const EditorRun run = RunEditor(
            [&] { shop.tbEditClick(); },
            [&](TfrmShopEdit &editor) {
                db.Exec(QStringLiteral("CREATE TRIGGER NoStockChange BEFORE UPDATE ON Sys_Stock "
                                       "BEGIN SELECT RAISE(ABORT, 'stock is read-only'); END"));
                editor.edtState->setCurrentIndex(editor.edtState->findText(Online));
                editor.btnOk->click();
                QCOMPARE(Messages().Texts(), QStringList{"stock is read-only."});
                QVERIFY(editor.isVisible());
                QCOMPARE(StoredText(db, "State", "B001"), Online); // the merchant row was stored first
                QCOMPARE(VisibleStock(db, QStringLiteral("B001")), 0);

                db.Exec(QStringLiteral("DROP TRIGGER NoStockChange"));
                editor.btnOk->click(); // OldState still differs: the stock statement runs again
            });
        QVERIFY(run.opened);
        QVERIFY(!run.leftOpen);
        QCOMPARE(VisibleStock(db, QStringLiteral("B001")), total);
    }

    void usersBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected");
        QTest::newRow("within") << "37" << 37;
        QTest::newRow("upper bound") << "100" << 100;
        QTest::newRow("zero") << "0" << 1;
        QTest::newRow("above") << "500" << 100;
        QTest::newRow("far above") << "999999999" << 100;
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("letters refused") << "ab" << 1;
    }

    void usersBox()
    {
        QFETCH(QString, typed);
        QFETCH(int, expected);
        FreshDb db;
        TfrmShop shop;
        QVERIFY(GoTo(shop, QStringLiteral("A003"))); // 3 authorised users
        shop.rdShop.Edit();
        TfrmShopEdit editor;
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        TBoundSpinBox *spin = editor.RzDBSpinEdit1;
        QCOMPARE(spin->minimum(), 1);
        QCOMPARE(spin->maximum(), 100);
        QCOMPARE(spin->value(), 3);
        spin->setFocus();
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(spin, Qt::Key_Backspace);
        QTest::keyClicks(spin, typed);
        QTest::keyClick(spin, Qt::Key_Return); // Enter moves on; leaving the box settles the value
        QVERIFY(!spin->hasFocus());
        QCOMPARE(spin->value(), expected);
        QCOMPARE(shop.rdShop.FieldInt(QStringLiteral("Users")), expected);
        editor.btnOk->click();
        QCOMPARE(StoredText(db, "Users", "A003").toInt(), expected);
        QCOMPARE(Messages().Count(), 0);
    }

    void usersBoxStepsStopAtTheBounds()
    {
        FreshDb db;
        TfrmShop shop;
        shop.rdShop.Edit();
        TfrmShopEdit editor;
        TBoundSpinBox *spin = editor.RzDBSpinEdit1;
        spin->setValue(100);
        spin->stepUp();
        QCOMPARE(spin->value(), 100);
        spin->setValue(1);
        spin->stepDown();
        QCOMPARE(spin->value(), 1);
        editor.btnCancel->click();
    }

    void editorLayoutAndFocus()
    {
        FreshDb db;
        TfrmShop shop;
        QVERIFY(GoTo(shop, QStringLiteral("A001")));
        shop.rdShop.Edit();
        TfrmShopEdit editor;
        QCOMPARE(editor.windowTitle(), QStringLiteral("商户管理"));
        QCOMPARE(editor.size(), QSize(404, 246));
        QStringList items;
        for (int i = 0; i < editor.edtState->count(); ++i)
            items << editor.edtState->itemText(i);
        QCOMPARE(items, (QStringList{Waiting, Online, Blocked}));
        QVERIFY(!editor.edtState->isEditable());
        QVERIFY(editor.edtShopNo->isReadOnly() && editor.edtShopName->isReadOnly() &&
                editor.edtAllName->isReadOnly());
        QCOMPARE(editor.edtAllName->text(), QStringLiteral("广州市骏达汽车配件有限公司"));
        QCOMPARE(editor.RzDBCheckBox1->text(), QStringLiteral("(锁定后仅允许已经登录过的计算机进入系统)"));
        QCOMPARE(editor.btnOk->text(), QStringLiteral("确定(&O)"));
        QCOMPARE(editor.btnCancel->text(), QStringLiteral("取消(&C)"));
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QCOMPARE(QApplication::focusWidget(), editor.edtState);
        GrabToPng(&editor, QStringLiteral("frmShopEdit"));
        editor.btnCancel->click();
    }

    void refusedDeletions_data()
    {
        QTest::addColumn<QString>("signedIn");
        QTest::addColumn<QString>("shopNo");
        QTest::addColumn<QString>("message");
        QTest::newRow("own merchant, also the administrator: own first") << "0000"
                                                                         << "0000"
                                                                         << "对不起,禁止删除当前登录商户!";
        QTest::newRow("another administrator merchant") << "0000"
                                                        << "A003"
                                                        << "对不起,禁止删除平台管理商户!";
        QTest::newRow("own merchant signed in in other case") << "a004"
                                                              << "A004"
                                                              << "对不起,禁止删除当前登录商户!";
    }

    void refusedDeletions()
    {
        QFETCH(QString, signedIn);
        QFETCH(QString, shopNo);
        QFETCH(QString, message);
        FreshDb db;
        db.Exec(QStringLiteral("UPDATE Sys_Shop SET Admin=1 WHERE ShopNo='A003'"));
        SignInAsAdministrator(signedIn);
        TfrmShop shop;
        QVERIFY(GoTo(shop, shopNo));
        Messages().answers = {true};
        shop.tbDelClick();
        QCOMPARE(Messages().Texts(), QStringList{message});
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Info);
        QCOMPARE(shop.rdShop.RecordCount(), 10);
        QCOMPARE(Count(db, QStringLiteral("Sys_Shop"), shopNo), 1);
    }

    void deletionRemovesTheMerchantAndItsData()
    {
        FreshDb db;
        TfrmShop shop;
        QVERIFY(GoTo(shop, QStringLiteral("A001")));
        QVERIFY(Count(db, QStringLiteral("Sys_User"), "A001") > 0);
        QVERIFY(Count(db, QStringLiteral("Sys_Login"), "A001") > 0);
        QVERIFY(AllStock(db, QStringLiteral("A001")) > 0);
        const int otherStock =
            db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Stock WHERE ShopNo<>'A001'")).toInt();

        // Answered No: nothing happens.
        Messages().answers = {false};
        shop.tbDelClick();
        QCOMPARE(Messages().Texts(), QStringList{"将清除当前商户在平台中的所有数据,确认吗?"});
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Ask);
        QCOMPARE(shop.rdShop.RecordCount(), 10);
        QCOMPARE(Count(db, QStringLiteral("Sys_Shop"), "A001"), 1);

        Messages().Clear();
        Messages().answers = {true};
        shop.tbDelClick();
        QCOMPARE(Messages().Count(), 1);
        QVERIFY(!ListedShops(shop.rdShop).contains(QStringLiteral("A001")));
        QCOMPARE(shop.rdShop.RecordCount(), 9);
        QCOMPARE(shop.grdShop->Model()->rowCount(), 9);
        QCOMPARE(shop.grdShop->Model()->Footer(2), QStringLiteral("9"));
        for (const char *table : {"Sys_Shop", "Sys_User", "Sys_Login", "Sys_Stock"})
            QCOMPARE(Count(db, QLatin1String(table), "A001"), 0);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Stock")).toInt(), otherStock);
    }

    void deletingARowAlreadyGoneIsAnError()
    {
        FreshDb db;
        TfrmShop shop;
        QVERIFY(GoTo(shop, QStringLiteral("B002")));
        db.Exec(QStringLiteral("DELETE FROM Sys_Shop WHERE ShopNo='B002'"));
        Messages().answers = {true};
        shop.tbDelClick();
        QCOMPARE(Messages().Count(), 2);
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Error);
        QVERIFY(ListedShops(shop.rdShop).contains(QStringLiteral("B002")));
    }

    void emptyListEditsAndDeletesNothing()
    {
        FreshDb db;
        db.Exec(QStringLiteral("UPDATE Sys_Shop SET State='已上线' WHERE State='已屏蔽'"));
        TfrmShop shop;
        shop.rdDown->click();
        QCOMPARE(shop.rdShop.RecordCount(), 0);
        const EditorRun run = RunEditor([&] { shop.tbEditClick(); }, [](TfrmShopEdit &) {});
        QVERIFY(!run.opened);
        Messages().answers = {true};
        shop.tbDelClick();
        QCOMPARE(Messages().Count(), 0);
        QCOMPARE(shop.rdShop.GetState(), Query::State::Browse);
    }

    void keys_data()
    {
        QTest::addColumn<bool>("focusOnRadio");
        QTest::newRow("focus in the grid") << false;
        QTest::newRow("focus on a filter") << true;
    }

    void keys()
    {
        QFETCH(bool, focusOnRadio);
        FreshDb db;
        TfrmShop shop;
        shop.show();
        shop.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&shop));
        QWidget *focus = focusOnRadio ? static_cast<QWidget *>(shop.rdOn) : shop.grdShop->View();
        focus->setFocus();
        QVERIFY(GoTo(shop, QStringLiteral("A002")));

        // Enter edits the current merchant.
        QString edited;
        EditorRun run = RunEditor([&] { QTest::keyClick(focus, Qt::Key_Return); },
                                  [&](TfrmShopEdit &editor) { edited = editor.edtShopNo->text(); });
        QVERIFY(run.opened);
        QCOMPARE(edited, QStringLiteral("A002"));
        QVERIFY(!shop.rdOn->isChecked());

        // Delete asks before deleting.
        Messages().answers = {false};
        QTest::keyClick(focus, Qt::Key_Delete);
        QCOMPARE(Messages().Texts(), QStringList{"将清除当前商户在平台中的所有数据,确认吗?"});

        // Esc closes the dialog and its list.
        QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(!shop.isVisible());
        QVERIFY(!shop.rdShop.Active());
    }

    void doubleClickEdits()
    {
        FreshDb db;
        TfrmShop shop;
        shop.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shop));
        QTableView *view = shop.grdShop->View();
        const QRect cell = view->visualRect(view->model()->index(2, 1));
        QString edited;
        const EditorRun run = RunEditor(
            [&] {
                // A real double click: press and release, then the double-click event.
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
                QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
            },
            [&](TfrmShopEdit &editor) { edited = editor.edtShopNo->text(); });
        QVERIFY(run.opened);
        QCOMPARE(edited, shop.rdShop.FieldText(QStringLiteral("ShopNo")));
        QCOMPARE(shop.rdShop.RecNo(), 2);
    }
};

QEN_TEST_MAIN(TestShop)
#include "test_shop.moc"
