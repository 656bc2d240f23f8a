// The member directory: the online list, the quick search and its input box, keys and closing.
#include "fixture/Fixture.h"
#include "foundation/ui/DBGrid.h"
#include "foundation/untPublic.h"
#include "merchants/untShopAll.h"
#include "shell/untMain.h"

#include <QInputDialog>
#include <QPointer>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

namespace {

// What the input box showed when it opened.
struct BoxSeen {
    bool opened = false;
    QString caption;
    QString prompt;
    QString initialText;
};

// Answers the next input box: types text and presses OK, or cancels when text is null.
void AnswerInputBox(const QString &text, BoxSeen *seen = nullptr)
{
    QTimer::singleShot(0, [text, seen] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!box) return; // nothing modal: the caller's check on seen->opened fails
        if (seen) *seen = {true, box->windowTitle(), box->labelText(), box->textValue()};
        if (text.isNull()) {
            box->reject();
        } else {
            box->setTextValue(text);
            box->accept();
        }
    });
}

QStringList ListedShops(const Query &query)
{
    QStringList shops;
    const int column = query.FieldIndex(QStringLiteral("ShopNo"));
    for (int row = 0; row < query.RecordCount(); ++row)
        shops << query.Value(row, column).toString();
    return shops;
}

QStringList OnlineShopsInDb(FreshDb &db)
{
    QStringList shops;
    QSqlQuery q(db.Data()->rdConn.Db());
    q.exec(QStringLiteral("SELECT ShopNo FROM Sys_Shop WHERE State='已上线' ORDER BY ShopNo"));
    while (q.next())
        shops << q.value(0).toString();
    return shops;
}

} // namespace

class TestShopAll : public QObject {
    Q_OBJECT

private slots:
    void init() { Messages().Clear(); }

    void opensWithEveryOnlineMerchantInOrder()
    {
        FreshDb db;
        QPointer<TfrmShopAll> form = new TfrmShopAll;
        QCOMPARE(form->objectName(), QStringLiteral("frmShopAll"));
        QCOMPARE(frmShopAll, form.data());
        QCOMPARE(form->rdShop.StatementText(),
                 QStringLiteral("SELECT * FROM Sys_Shop WHERE State='已上线' ORDER BY ShopNo"));
        const QStringList online = OnlineShopsInDb(db);
        QCOMPARE(online.size(), 7); // the platform administrator and A001..A006
        QCOMPARE(ListedShops(form->rdShop), online);
        QCOMPARE(form->rdShop.RecNo(), 0);

        GridModel *model = form->grdShop->Model();
        QVERIFY(form->grdShop->FooterVisible());
        QCOMPARE(model->Footer(0), QStringLiteral("合计"));
        QCOMPARE(model->Footer(1), QStringLiteral("7"));
        const QStringList titles{"商户编号", "商户全称", "商户代表", "联系电话", "业务员01", "业务电话",
                                 "业务QQ号", "业务员02", "业务电话", "业务QQ号", "联系地址"};
        const QList<int> widths{80, 200, 100, 100, 110, 110, 110, 110, 110, 110, 240};
        QCOMPARE(model->columnCount(), titles.size());
        for (int c = 0; c < titles.size(); ++c) {
            QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
            QCOMPARE(form->grdShop->View()->columnWidth(c), widths[c]);
        }
        QCOMPARE(form->tbLocate->text(), QStringLiteral("速查"));
        QCOMPARE(form->tbLocate->toolTip(), QStringLiteral("速查--(0)"));
        QCOMPARE(form->tbExit->toolTip(), QStringLiteral("退出--(Esc)"));
        QCOMPARE(Messages().Count(), 0);

        form->resize(1280, 520);
        form->show();
        GrabToPng(form, QStringLiteral("frmShopAll"));
        std::unique_ptr<QWidget>(form).reset();
        QVERIFY(!frmShopAll);
    }

    void quickSearch_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("statementLines");
        const QStringList all{"0000", "A001", "A002", "A003", "A004", "A005", "A006"};
        QTest::newRow("merchant number") << "A003" << QStringList{"A003"} << 3;
        QTest::newRow("number, other case") << "a003" << QStringList{"A003"} << 3;
        QTest::newRow("full name part") << "武汉汉盛" << QStringList{"A005"} << 3;
        QTest::newRow("short name only") << "京通汽配" << QStringList{"A003"} << 3;
        QTest::newRow("representative") << "杨洪" << QStringList{"A004"} << 3;
        QTest::newRow("telephone") << "0571-86927341" << QStringList{"A006"} << 3;
        QTest::newRow("address") << "莘庄汽配城" << QStringList{"A002"} << 3;
        QTest::newRow("sales telephone 1") << "13902211456" << QStringList{"A001"} << 3;
        QTest::newRow("sales telephone 2") << "13636587210" << QStringList{"A002"} << 3;
        QTest::newRow("QQ number only") << "285614732" << QStringList{} << 3;
        QTest::newRow("sales person only") << "李晓东" << QStringList{} << 3;
        QTest::newRow("awaiting review") << "中原鑫达" << QStringList{} << 3;
        QTest::newRow("blocked") << "湘江" << QStringList{} << 3;
        QTest::newRow("blanks around") << "  \t杨洪 " << QStringList{"A004"} << 3;
        QTest::newRow("typed wildcard")
            << "A00_" << QStringList{"A001", "A002", "A003", "A004", "A005", "A006"} << 3;
        QTest::newRow("common to several, ordered")
            << "汽配城" << QStringList{"A001", "A002", "A003", "A004", "A005", "A006"} << 3;
        QTest::newRow("empty") << "" << all << 2;
        QTest::newRow("blanks only") << "   " << all << 2;
    }

    void quickSearch()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, expected);
        QFETCH(int, statementLines);
        FreshDb db;
        TfrmShopAll form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        BoxSeen seen;
        AnswerInputBox(input, &seen);
        form.tbLocateClick();
        QVERIFY(seen.opened);
        QCOMPARE(Messages().Texts(), QStringList());
        QCOMPARE(ListedShops(form.rdShop), expected);
        QCOMPARE(form.rdShop.SQL.size(), statementLines);
        QCOMPARE(form.rdShop.SQL.first(), QStringLiteral("SELECT * FROM Sys_Shop WHERE State='已上线' "));
        QCOMPARE(form.rdShop.SQL.last(), QStringLiteral("ORDER BY ShopNo"));
        if (statementLines == 3)
            QCOMPARE(form.rdShop.Param(QStringLiteral("Tel02")).toString(),
                     QStringLiteral("%") + TrimText(input) + QStringLiteral("%"));
        QCOMPARE(form.grdShop->Model()->Footer(1), QString::number(expected.size()));
        QCOMPARE(form.grdShop->Model()->rowCount(), expected.size());
        QCOMPARE(form.rdShop.RecNo(), expected.isEmpty() ? -1 : 0);
    }

    void inputBoxStartsEmptyAndCancelKeepsTheList()
    {
        FreshDb db;
        TfrmShopAll form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        BoxSeen first;
        AnswerInputBox(QStringLiteral("骏达"), &first);
        form.tbLocateClick();
        QVERIFY(first.opened);
        QCOMPARE(first.caption, QStringLiteral("商户速查"));
        QCOMPARE(first.prompt, QStringLiteral("输入查询内容:"));
        QCOMPARE(first.initialText, QString());
        QCOMPARE(ListedShops(form.rdShop), QStringList{"A001"});
        const QStringList statement = form.rdShop.SQL;

        // The previous search text isn't offered again; cancelling changes nothing.
        BoxSeen second;
        AnswerInputBox(QString(), &second);
        form.tbLocateClick();
        QVERIFY(second.opened);
        QCOMPARE(second.initialText, QString());
        QCOMPARE(ListedShops(form.rdShop), QStringList{"A001"});
        QCOMPARE(form.rdShop.SQL, statement);
        QCOMPARE(form.grdShop->Model()->Footer(1), QStringLiteral("1"));
        QCOMPARE(Messages().Count(), 0);
    }

    void failedSearchIsReportedAndLeavesTheGridEmpty()
    {
        FreshDb db;
        TfrmShopAll form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(form.rdShop.RecordCount(), 7);
        db.Exec(QStringLiteral("ALTER TABLE Sys_Shop RENAME TO Sys_Shop_Gone"));
        AnswerInputBox(QStringLiteral("A001"));
        form.tbLocateClick();
        QCOMPARE(Messages().Count(), 1);
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Error);
        QVERIFY(!form.rdShop.Active());
        QCOMPARE(form.grdShop->Model()->rowCount(), 0);
        QCOMPARE(form.grdShop->Model()->Footer(1), QStringLiteral("0"));

        // A failure while the window is created still leaves it open, empty.
        Messages().Clear();
        TfrmShopAll second;
        second.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(Messages().Count(), 1);
        QCOMPARE(second.grdShop->Model()->rowCount(), 0);
    }

    void zeroKeysOpenTheSearch_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::newRow("main keyboard") << int(Qt::NoModifier);
        QTest::newRow("numeric keypad") << int(Qt::KeypadModifier);
    }

    void zeroKeysOpenTheSearch()
    {
        QFETCH(int, modifiers);
        FreshDb db;
        TfrmShopAll form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.grdShop->View()->setFocus();
        form.rdShop.MoveTo(3);
        BoxSeen seen;
        AnswerInputBox(QString(), &seen);
        QTest::keyClick(form.grdShop->View(), Qt::Key_0, Qt::KeyboardModifiers(modifiers));
        QVERIFY(seen.opened);
        QCOMPARE(seen.caption, QStringLiteral("商户速查"));
        // The key went to the search only: the grid's type-ahead didn't move the row.
        QCOMPARE(form.rdShop.RecNo(), 3);
    }

    void escClosesAndFreesTheWindow()
    {
        FreshDb db;
        QPointer<TfrmShopAll> form = new TfrmShopAll;
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        form->grdShop->View()->setFocus();
        Query *query = &form->rdShop;
        QSignalSpy closed(query, &Query::Reset);
        QTest::keyClick(form->grdShop->View(), Qt::Key_Escape);
        QCOMPARE(closed.count(), 1); // the list was closed as the window closed
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(form.isNull());
        QVERIFY(!frmShopAll);
    }

    void exitButtonCloses()
    {
        FreshDb db;
        QPointer<TfrmShopAll> form = new TfrmShopAll;
        form->show();
        form->tbExit->click();
        QVERIFY(!form->isVisible());
        QVERIFY(!form->rdShop.Active());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(form.isNull());
    }

    void runsInTheMainWindowAndLeavesItsTab()
    {
        FreshDb db;
        SetSignedIn(QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("01,03,04,05,06,"));
        TfrmMain main(false);
        main.resize(1100, 700);
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.OpenCommand(QStringLiteral("=frmShopAll"), QStringLiteral("商户大全"));
        QPointer<TfrmShopAll> form =
            qobject_cast<TfrmShopAll *>(main.WorkspaceForm(QStringLiteral("frmShopAll")));
        QVERIFY(form);
        QCOMPARE(main.TaskList, (QStringList{"DeskTop", "=frmShopAll"}));
        QCOMPARE(form->rdShop.RecordCount(), 7);
        GrabToPng(&main, QStringLiteral("frmShopAll-in-main"));

        form->grdShop->View()->setFocus();
        QTest::keyClick(form->grdShop->View(), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(form.isNull());
        QCOMPARE(main.TaskList, QStringList{"DeskTop"});
        QVERIFY(!main.WorkspaceForm(QStringLiteral("frmShopAll")));
        QCOMPARE(Messages().Count(), 0);
    }
};

QEN_TEST_MAIN(TestShopAll)
#include "test_shopall.moc"
