// Users, permissions and login hosts: the users dialog and the user editor on the embedded database.
#include "foundation/ui/DBGrid.h"
#include "foundation/untPublic.h"
#include "merchants/untAction.h"
#include "merchants/untActionEdit.h"
#include "shell/untMain.h"
#include "signin/untPassword.h"
#include "tests/fixture/Fixture.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>

namespace {

using Kind = MessagePresenter::Kind;

// The users dialog held in frmAction, as the shell holds it while it runs.
struct ActionDialog {
    TfrmAction dlg;
    ActionDialog() { frmAction = &dlg; }
    ~ActionDialog() { frmAction = nullptr; }
};

// Runs body on the user editor once it is shown modally by start (btnAddClick, btnEditClick, a
// double click). Returns whether the editor was still open when body returned; it is then
// cancelled so that start returns.
bool WithEditor(const std::function<void()> &start, const std::function<void(TfrmActionEdit &)> &body)
{
    bool stillOpen = false;
    bool ran = false;
    QTimer timer; // dies with this call, so a body never outlives its test
    timer.setSingleShot(true);
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        TfrmActionEdit *editor = frmActionEdit;
        if (!editor || !editor->isVisible()) return;
        ran = true;
        body(*editor);
        if (frmActionEdit && frmActionEdit->isVisible()) {
            stillOpen = true;
            frmActionEdit->btnCancel->click();
        }
    });
    timer.start();
    start();
    if (!ran) qWarning("the user editor was not shown");
    return stillOpen;
}

// Replaces an edit's text as typed, so that the bound field follows.
void Retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    if (!text.isEmpty()) TypeText(edit, text);
}

// Selects a row of a grid by the value of its first column.
bool SelectRow(Query &list, const QString &field, const QString &value)
{
    for (int row = 0; row < list.RecordCount(); ++row) {
        list.MoveTo(row);
        if (list.FieldText(field) == value) return true;
    }
    return false;
}

int UserCount(FreshDb &db, const QString &shopNo)
{
    return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_User WHERE ShopNo=?"), {shopNo}).toInt();
}

QVariant UserColumn(FreshDb &db, const QString &column, const QString &shopNo, const QString &userNo)
{
    return db.Scalar(QStringLiteral("SELECT %1 FROM Sys_User WHERE ShopNo=? AND UserNo=?").arg(column),
                     {shopNo, userNo});
}

} // namespace

class TestAction : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Messages().Clear();
        SetSignedIn(QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("01,03,04,05,06,"));
    }

    void opensOnUsersPageWithTheMerchantsRows()
    {
        FreshDb db;
        ActionDialog a;
        TfrmAction &dlg = a.dlg;
        QCOMPARE(Messages().Count(), 0);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("用户权限"));
        QCOMPARE(dlg.pgEdit->currentIndex(), 0);
        QCOMPARE(dlg.pgEdit->tabText(0), QStringLiteral("用户管理"));
        QCOMPARE(dlg.pgEdit->tabText(1), QStringLiteral("登录管理"));
        QCOMPARE(dlg.rdUser.RecordCount(), UserCount(db, QStringLiteral("A001")));
        QCOMPARE(dlg.rdUser.RecNo(), 0);
        QCOMPARE(dlg.rdUser.FieldText(QStringLiteral("UserNo")), QStringLiteral("01"));
        QCOMPARE(dlg.rdLogin.RecordCount(), 2); // only A001's computers
        QCOMPARE(dlg.rdLogin.FieldText(QStringLiteral("HostId")), QStringLiteral("178BFBFF00A50F00"));

        const QList<int> userWidths{90, 150}, hostWidths{120, 120, 145, 140};
        for (int c = 0; c < userWidths.size(); ++c)
            QCOMPARE(dlg.grdUser->View()->columnWidth(c), userWidths[c]);
        for (int c = 0; c < hostWidths.size(); ++c)
            QCOMPARE(dlg.grdLogin->View()->columnWidth(c), hostWidths[c]);
        QCOMPARE(dlg.grdUser->Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("用户名称"));
        QCOMPARE(dlg.grdLogin->Model()->CellText(0, 3), QStringLiteral("2024-03-16 14:30:08"));

        dlg.show();
        dlg.pgEdit->setCurrentIndex(1);
        for (QPushButton *b : {dlg.btnAdd, dlg.btnEdit, dlg.btnDel})
            QVERIFY(!b->isVisible());
        QVERIFY(dlg.btnCancel->isVisible());
        GrabToPng(&dlg, QStringLiteral("action_hosts"));
        dlg.pgEdit->setCurrentIndex(0);
        for (QPushButton *b : {dlg.btnAdd, dlg.btnEdit, dlg.btnDel, dlg.btnCancel})
            QVERIFY(b->isVisible());
        GrabToPng(&dlg, QStringLiteral("action_users"));

        QTest::keyClick(&dlg, Qt::Key_Escape); // "返回" closes both lists
        QVERIFY(!dlg.isVisible());
        QVERIFY(!dlg.rdUser.Active());
        QVERIFY(!dlg.rdLogin.Active());
    }

    void deleteUser_data()
    {
        QTest::addColumn<QString>("signedIn");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("the signed-in user") << "01"
                                            << "01" << true << false << false;
        QTest::newRow("another user, yes") << "01"
                                           << "02" << true << true << true;
        QTest::newRow("another user, no") << "01"
                                          << "02" << false << true << false;
        // Sign-in matches numbers without letter case; the guard must see the same user.
        QTest::newRow("signed in with other letter case") << "XY"
                                                          << "xy" << true << false << false;
    }
    void deleteUser()
    {
        QFETCH(QString, signedIn);
        QFETCH(QString, target);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(bool, deleted);
        FreshDb db;
        db.Exec(QStringLiteral("INSERT INTO Sys_User (ShopNo, UserNo, UserName, Password, Action) "
                               "VALUES ('A001', 'xy', '小杨', '', '01,')"));
        SysSet.UserNo = signedIn;
        const int before = UserCount(db, QStringLiteral("A001"));
        ActionDialog a;
        QVERIFY(SelectRow(a.dlg.rdUser, QStringLiteral("UserNo"), target));
        Messages().answers = {answer};
        a.dlg.btnDel->click();

        if (asked) {
            QCOMPARE(Messages().Count(), 1);
            QCOMPARE(Messages().LastKind(), Kind::Ask);
            QCOMPARE(Messages().LastText(), QStringLiteral("确认要删除当前用户吗?"));
        } else {
            QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("对不起,禁止删除当前登录用户!")});
            QCOMPARE(Messages().LastKind(), Kind::Info);
        }
        QCOMPARE(UserCount(db, QStringLiteral("A001")), before - (deleted ? 1 : 0));
        QCOMPARE(a.dlg.rdUser.RecordCount(), before - (deleted ? 1 : 0));
        QCOMPARE(UserColumn(db, QStringLiteral("COUNT(*)"), QStringLiteral("A001"), target).toInt(),
                 deleted ? 0 : 1);
    }

    void deleteHost_data()
    {
        QTest::addColumn<bool>("thisComputer");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("this computer") << true << true << false;
        QTest::newRow("another computer, yes") << false << true << true;
        QTest::newRow("another computer, no") << false << false << false;
    }
    void deleteHost()
    {
        QFETCH(bool, thisComputer);
        QFETCH(bool, answer);
        QFETCH(bool, deleted);
        FreshDb db;
        const QString here = HostIdentity();
        db.Exec(QStringLiteral("DELETE FROM Sys_Login WHERE HostId=?"), {here});
        db.Exec(QStringLiteral("INSERT INTO Sys_Login (ShopNo, HostId, HostName, LastUser, LastDate) "
                               "VALUES ('A001', ?, 'HERE', '01', '2024-04-01 10:00:00')"),
                {here});
        const QString target = thisComputer ? here : QStringLiteral("BFEBFBFF000906EA");
        ActionDialog a;
        QVERIFY(SelectRow(a.dlg.rdLogin, QStringLiteral("HostId"), target));
        Messages().answers = {answer};
        a.dlg.grdLoginDblClick();

        if (thisComputer)
            QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("对不起,禁止删除当前登录机器信息!")});
        else
            QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("确认要删除当前登录记录吗?")});
        const int left =
            db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Login WHERE ShopNo='A001' AND HostId=?"),
                      {target})
                .toInt();
        QCOMPARE(left, deleted ? 0 : 1);
        QCOMPARE(a.dlg.rdLogin.RecordCount(), deleted ? 2 : 3);
    }

    void doubleClickOnHostGridDeletes()
    {
        FreshDb db;
        ActionDialog a;
        a.dlg.show();
        a.dlg.pgEdit->setCurrentIndex(1);
        QTableView *view = a.dlg.grdLogin->View();
        const QRect cell = view->visualRect(view->model()->index(1, 0));
        Messages().answers = {true};
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("确认要删除当前登录记录吗?")});
        QCOMPARE(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Login WHERE HostId='BFEBFBFF000906EA'"))
                     .toInt(),
                 0);
    }

    void lockIsStoredAtOnce()
    {
        FreshDb db;
        auto locked = [&] {
            return db.Scalar(QStringLiteral("SELECT Locked FROM Sys_Shop WHERE ShopNo='A001'")).toInt();
        };
        db.Exec(QStringLiteral("UPDATE Sys_Shop SET Locked=1 WHERE ShopNo='A001'"));
        {
            ActionDialog a;
            QVERIFY(a.dlg.chkLocked->isChecked());
            QCOMPARE(locked(), 1); // the write made while opening stores the same value
            a.dlg.chkLocked->click();
            QCOMPARE(locked(), 0);
            a.dlg.chkLocked->click();
            QCOMPARE(locked(), 1);
            QCOMPARE(Messages().Count(), 0);
        }
        db.Exec(QStringLiteral("UPDATE Sys_Shop SET Locked=NULL WHERE ShopNo='A001'"));
        ActionDialog a;
        QVERIFY(!a.dlg.chkLocked->isChecked());
        QVERIFY(db.Scalar(QStringLiteral("SELECT Locked FROM Sys_Shop WHERE ShopNo='A001'")).isNull());
    }

    void refusedLockWriteLeavesTheBoxAsStored()
    {
        FreshDb db;
        ActionDialog a;
        db.Exec(QStringLiteral("CREATE TRIGGER NoLock BEFORE UPDATE ON Sys_Shop "
                               "BEGIN SELECT RAISE(ABORT, 'lock refused'); END"));
        const bool before = a.dlg.chkLocked->isChecked();
        a.dlg.chkLocked->click();
        QCOMPARE(Messages().Count(), 1);
        QCOMPARE(Messages().LastKind(), Kind::Error);
        QVERIFY(Messages().LastText().contains(QStringLiteral("lock refused")));
        QCOMPARE(a.dlg.chkLocked->isChecked(), before);
        QCOMPARE(
            db.Scalar(QStringLiteral("SELECT IFNULL(Locked,0) FROM Sys_Shop WHERE ShopNo='A001'")).toBool(),
            before);
    }

    void addedUserIsStoredAndSignsInWithEmptyPassword_data()
    {
        QTest::addColumn<QList<int>>("ticked"); // box numbers 1..6
        QTest::addColumn<QString>("action");
        QTest::newRow("no box") << QList<int>{} << "";
        QTest::newRow("01 and 06") << QList<int>{6, 1} << "01,06,";
        QTest::newRow("all but 02") << QList<int>{1, 3, 4, 5, 6} << "01,03,04,05,06,";
    }
    void addedUserIsStoredAndSignsInWithEmptyPassword()
    {
        QFETCH(QList<int>, ticked);
        QFETCH(QString, action);
        FreshDb db;
        ActionDialog a;
        const int before = a.dlg.rdUser.RecordCount();
        const bool open =
            WithEditor([&] { a.dlg.btnAddClick(); },
                       [&](TfrmActionEdit &e) {
                           QCOMPARE(e.EditMode, QStringLiteral("Add"));
                           QCOMPARE(e.pgEdit->tabText(0), QStringLiteral("增加"));
                           QCOMPARE(e.focusWidget(), e.edtUserNo);
                           QVERIFY(e.edtUserNo->text().isEmpty());
                           Retype(e.edtUserNo, QStringLiteral("00"));
                           Retype(e.edtUserName, QStringLiteral("新来的库管"));
                           QList<QCheckBox *> boxes{e.chk01, e.chk02, e.chk03, e.chk04, e.chk05, e.chk06};
                           for (int n : ticked)
                               boxes[n - 1]->click();
                           e.btnOk->click();
                       });
        QVERIFY(!open);
        QCOMPARE(Messages().Count(), 0);

        const QVariant stored =
            UserColumn(db, QStringLiteral("Action"), QStringLiteral("A001"), QStringLiteral("00"));
        QVERIFY(!stored.isNull()); // the empty string, not NULL
        QCOMPARE(stored.toString(), action);
        QCOMPARE(UserColumn(db, QStringLiteral("UserName"), QStringLiteral("A001"), QStringLiteral("00"))
                     .toString(),
                 QStringLiteral("新来的库管"));
        QCOMPARE(UserColumn(db, QStringLiteral("Password"), QStringLiteral("A001"), QStringLiteral("00"))
                     .toString(),
                 EncodePassword(QString()));

        // Shown at the end of the list, not sorted in, and nothing pending.
        QCOMPARE(a.dlg.rdUser.RecordCount(), before + 1);
        QCOMPARE(a.dlg.rdUser.RecNo(), before);
        QCOMPARE(a.dlg.rdUser.FieldText(QStringLiteral("UserNo")), QStringLiteral("00"));
        QCOMPARE(a.dlg.rdUser.GetState(), Query::State::Browse);

        QString granted = QStringLiteral("unset");
        QCOMPARE(SignInThroughProcedure(QStringLiteral("A001"), QStringLiteral("00"), QString(), &granted),
                 QStringLiteral("0"));
        QCOMPARE(granted, action);
        if (action.isEmpty()) { // nothing granted: only the about entry
            SetSignedIn(QStringLiteral("A001"), QStringLiteral("00"), granted);
            TfrmMain main(false);
            main.show(); // the navigation bar is built as the window shows
            QCOMPARE(main.NavButtons().size(), 1);
            QCOMPARE(main.NavButtons().first()->text(), QStringLiteral("关于系统"));
        }
        QVERIFY(SignInThroughProcedure(QStringLiteral("A001"), QStringLiteral("00"), QStringLiteral("x")) !=
                QStringLiteral("0"));
    }

    void platformAdministratorGrants02()
    {
        FreshDb db;
        SetSignedIn(QStringLiteral("0000"), QStringLiteral("01"), QStringLiteral("01,02,03,04,05,06,"));
        ActionDialog a;
        WithEditor([&] { a.dlg.btnAddClick(); },
                   [&](TfrmActionEdit &e) {
                       QVERIFY(e.chk02->isEnabled());
                       QCOMPARE(e.chk02->pos(), QPoint(e.chk01->x(), e.chk01->y() + 24));
                       QCOMPARE(e.chk03->y(), e.chk01->y() + 48);
                       GrabToPng(&e, QStringLiteral("actionedit_admin"));
                       Retype(e.edtUserNo, QStringLiteral("09"));
                       Retype(e.edtUserName, QStringLiteral("平台审核员"));
                       e.chk02->click();
                       e.btnOk->click();
                   });
        QCOMPARE(
            UserColumn(db, QStringLiteral("Action"), QStringLiteral("0000"), QStringLiteral("09")).toString(),
            QStringLiteral("02,"));
    }

    void ordinaryMerchantKeepsButCantGrant02()
    {
        FreshDb db;
        db.Exec(QStringLiteral("UPDATE Sys_User SET Action='01,02,03,' WHERE ShopNo='A001' AND UserNo='02'"));
        ActionDialog a;
        QVERIFY(SelectRow(a.dlg.rdUser, QStringLiteral("UserNo"), QStringLiteral("02")));
        WithEditor([&] { a.dlg.btnEditClick(); },
                   [&](TfrmActionEdit &e) {
                       QCOMPARE(e.pgEdit->tabText(0), QStringLiteral("修改"));
                       QVERIFY(!e.chk02->isEnabled());
                       QCOMPARE(e.chk02->x(), -1000);
                       QVERIFY(e.chk02->isChecked()); // hidden, keeps its state
                       // The remaining boxes close ranks, 24 pixels apart.
                       const QList<QCheckBox *> shown{e.chk01, e.chk03, e.chk04, e.chk05, e.chk06};
                       for (int i = 1; i < shown.size(); ++i)
                           QCOMPARE(shown[i]->y(), shown[0]->y() + 24 * i);
                       QVERIFY(e.chk01->isChecked() && e.chk03->isChecked() && !e.chk04->isChecked());
                       GrabToPng(&e, QStringLiteral("actionedit_edit"));
                       e.chk04->click();
                       e.btnOk->click();
                   });
        QCOMPARE(
            UserColumn(db, QStringLiteral("Action"), QStringLiteral("A001"), QStringLiteral("02")).toString(),
            QStringLiteral("01,02,03,04,"));

        WithEditor([&] { a.dlg.btnAddClick(); },
                   [&](TfrmActionEdit &e) {
                       QVERIFY(!e.chk02->isEnabled());
                       e.chk02->click(); // a disabled box ignores the click
                       QTest::keyClick(e.chk02, Qt::Key_Space);
                       Retype(e.edtUserNo, QStringLiteral("03"));
                       Retype(e.edtUserName, QStringLiteral("王五"));
                       e.btnOk->click();
                   });
        QCOMPARE(
            UserColumn(db, QStringLiteral("Action"), QStringLiteral("A001"), QStringLiteral("03")).toString(),
            QString(QLatin1String("")));
    }

    void requiredFields_data()
    {
        QTest::addColumn<QString>("userNo");
        QTest::addColumn<QString>("userName");
        QTest::addColumn<QString>("message"); // empty: stored
        QTest::addColumn<QString>("focus");
        QTest::newRow("number of blanks") << "   "
                                          << "张三"
                                          << "用户编号不能为空,请检查！"
                                          << "edtUserNo";
        QTest::newRow("empty number") << ""
                                      << "张三"
                                      << "用户编号不能为空,请检查！"
                                      << "edtUserNo";
        QTest::newRow("name of blanks") << "08"
                                        << "  "
                                        << "用户名称不能为空,请检查！"
                                        << "edtUserName";
        QTest::newRow("both blank: number first") << " "
                                                  << " "
                                                  << "用户编号不能为空,请检查！"
                                                  << "edtUserNo";
        QTest::newRow("blanks around values stored") << " 08 "
                                                     << " 张三 "
                                                     << ""
                                                     << "";
        // A double-byte blank is an ordinary character.
        QTest::newRow("double-byte blank name") << "08"
                                                << "\u3000"
                                                << ""
                                                << "";
    }
    void requiredFields()
    {
        QFETCH(QString, userNo);
        QFETCH(QString, userName);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        FreshDb db;
        ActionDialog a;
        const int before = UserCount(db, QStringLiteral("A001"));
        const bool open = WithEditor([&] { a.dlg.btnAddClick(); },
                                     [&](TfrmActionEdit &e) {
                                         Retype(e.edtUserNo, userNo);
                                         Retype(e.edtUserName, userName);
                                         e.btnOk->click();
                                         if (!message.isEmpty()) {
                                             QCOMPARE(e.focusWidget()->objectName(), focus);
                                             QCOMPARE(e.edtUserNo->text(), userNo); // input kept
                                             QCOMPARE(e.edtUserName->text(), userName);
                                         }
                                     });
        if (message.isEmpty()) {
            QVERIFY(!open);
            QCOMPARE(Messages().Count(), 0);
            QCOMPARE(UserColumn(db, QStringLiteral("UserName"), QStringLiteral("A001"), userNo).toString(),
                     userName);
        } else {
            QVERIFY(open);
            QCOMPARE(Messages().Texts(), QStringList{message});
            QCOMPARE(Messages().LastKind(), Kind::Info);
            QCOMPARE(UserCount(db, QStringLiteral("A001")), before);
            QCOMPARE(a.dlg.rdUser.RecordCount(), before); // the cancelled new row is dropped
        }
    }

    void duplicateNumberIsRefusedBeforeStoring_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("edited"); // the user edited ("" for a new one)
        QTest::addColumn<QString>("userNo");
        QTest::addColumn<bool>("refused");
        QTest::newRow("add an existing number") << "Add"
                                                << ""
                                                << "02" << true;
        QTest::newRow("add with other letter case") << "Add"
                                                    << ""
                                                    << "AB" << true;
        QTest::newRow("rename onto another user") << "Edit"
                                                  << "02"
                                                  << "01" << true;
        QTest::newRow("keep the own number") << "Edit"
                                             << "02"
                                             << "02" << false;
        QTest::newRow("own number in other case") << "Edit"
                                                  << "ab"
                                                  << "AB" << false;
        QTest::newRow("another merchant's number is free") << "Add"
                                                           << ""
                                                           << "07" << false;
    }
    void duplicateNumberIsRefusedBeforeStoring()
    {
        QFETCH(QString, mode);
        QFETCH(QString, edited);
        QFETCH(QString, userNo);
        QFETCH(bool, refused);
        FreshDb db;
        db.Exec(
            QStringLiteral("INSERT INTO Sys_User (ShopNo, UserNo, UserName, Password, Action) "
                           "VALUES ('A001', 'ab', '小白', '', '01,'), ('A002', '07', '别家', '', '01,')"));
        ActionDialog a;
        if (!edited.isEmpty()) QVERIFY(SelectRow(a.dlg.rdUser, QStringLiteral("UserNo"), edited));
        const int before = UserCount(db, QStringLiteral("A001"));
        const QString name = QStringLiteral("改过的名字");
        const bool open = WithEditor(
            [&] {
                if (mode == QLatin1String("Add"))
                    a.dlg.btnAddClick();
                else
                    a.dlg.btnEditClick();
            },
            [&](TfrmActionEdit &e) {
                Retype(e.edtUserNo, userNo);
                Retype(e.edtUserName, name);
                e.btnOk->click();
                if (!refused) return;
                QCOMPARE(e.focusWidget(), e.edtUserNo);
                QCOMPARE(e.edtUserNo->text(), userNo);
                QCOMPARE(e.edtUserName->text(), name);
                // Still pending: a free number is then stored from the same dialog.
                Retype(e.edtUserNo, QStringLiteral("99"));
                e.btnOk->click();
            });
        QVERIFY(!open);
        if (refused) {
            QCOMPARE(Messages().Count(), 1);
            QCOMPARE(Messages().LastKind(), Kind::Info);
            QVERIFY(Messages().LastText().contains(QStringLiteral("已被本商户的其他用户使用")));
            userNo = QStringLiteral("99");
        } else {
            QCOMPARE(Messages().Count(), 0);
        }
        QCOMPARE(UserColumn(db, QStringLiteral("UserName"), QStringLiteral("A001"), userNo).toString(), name);
        QCOMPARE(UserCount(db, QStringLiteral("A001")), before + (mode == QLatin1String("Add") ? 1 : 0));
        if (!edited.isEmpty() && edited.compare(userNo, Qt::CaseInsensitive) != 0)
            QCOMPARE(UserColumn(db, QStringLiteral("COUNT(*)"), QStringLiteral("A001"), edited).toInt(), 0);
    }

    void editOfAVanishedUserIsReportedAndKeepsTheInput()
    {
        FreshDb db;
        ActionDialog a;
        QVERIFY(SelectRow(a.dlg.rdUser, QStringLiteral("UserNo"), QStringLiteral("02")));
        const QString oldName = a.dlg.rdUser.FieldText(QStringLiteral("UserName"));
        const bool open = WithEditor(
            [&] { a.dlg.btnEditClick(); },
            [&](TfrmActionEdit &e) {
                // Another administrator deletes the user meanwhile.
                db.Exec(QStringLiteral("DELETE FROM Sys_User WHERE ShopNo='A001' AND UserNo='02'"));
                Retype(e.edtUserName, QStringLiteral("新名字"));
                e.btnOk->click();
                QCOMPARE(e.edtUserName->text(), QStringLiteral("新名字"));
                QCOMPARE(frmAction->rdUser.GetState(), Query::State::Edit);
            });
        QVERIFY(open);
        QCOMPARE(Messages().Count(), 1);
        QCOMPARE(Messages().LastKind(), Kind::Error);
        QVERIFY(!Messages().LastText().isEmpty());
        // Closing the editor undid the pending change in the list; nothing was written.
        QCOMPARE(a.dlg.rdUser.GetState(), Query::State::Browse);
        QCOMPARE(a.dlg.rdUser.FieldText(QStringLiteral("UserName")), oldName);
        QCOMPARE(UserCount(db, QStringLiteral("A001")), 1);
    }

    void cancelDropsTheNewRowAndUndoesTheEdit()
    {
        FreshDb db;
        ActionDialog a;
        const int before = a.dlg.rdUser.RecordCount();
        WithEditor([&] { a.dlg.btnAddClick(); },
                   [&](TfrmActionEdit &e) {
                       Retype(e.edtUserNo, QStringLiteral("05"));
                       Retype(e.edtUserName, QStringLiteral("不要了"));
                       QTest::keyClick(e.edtUserName, Qt::Key_Escape);
                   });
        QCOMPARE(a.dlg.rdUser.RecordCount(), before);
        QCOMPARE(UserCount(db, QStringLiteral("A001")), before);

        QVERIFY(SelectRow(a.dlg.rdUser, QStringLiteral("UserNo"), QStringLiteral("02")));
        const QString name = a.dlg.rdUser.FieldText(QStringLiteral("UserName"));
        WithEditor([&] { a.dlg.btnEditClick(); },
                   [&](TfrmActionEdit &e) {
                       Retype(e.edtUserName, QStringLiteral("改了又取消"));
                       QCOMPARE(frmAction->rdUser.FieldText(QStringLiteral("UserName")),
                                QStringLiteral("改了又取消"));
                       e.btnCancel->click();
                   });
        QCOMPARE(a.dlg.rdUser.FieldText(QStringLiteral("UserName")), name);
        QCOMPARE(UserColumn(db, QStringLiteral("UserName"), QStringLiteral("A001"), QStringLiteral("02"))
                     .toString(),
                 name);
        QCOMPARE(Messages().Count(), 0);
    }

    void doubleClickOnUserGridEditsTheRow()
    {
        FreshDb db;
        ActionDialog a;
        a.dlg.show();
        QTableView *view = a.dlg.grdUser->View();
        const QRect cell = view->visualRect(view->model()->index(1, 0));
        QString shown;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        WithEditor([&] { QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center()); },
                   [&](TfrmActionEdit &e) {
                       QCOMPARE(e.EditMode, QStringLiteral("Edit"));
                       shown = e.edtUserNo->text();
                       QCOMPARE(e.chk03->isChecked(), true);
                       QCOMPARE(e.chk05->isChecked(), false);
                   });
        QCOMPARE(shown, QStringLiteral("02"));
    }

    void renamedSignedInUserStaysProtected()
    {
        FreshDb db;
        ActionDialog a;
        QVERIFY(SelectRow(a.dlg.rdUser, QStringLiteral("UserNo"), QStringLiteral("01")));
        WithEditor([&] { a.dlg.btnEditClick(); },
                   [&](TfrmActionEdit &e) {
                       Retype(e.edtUserNo, QStringLiteral("10"));
                       e.btnOk->click();
                   });
        QCOMPARE(SysSet.UserNo, QStringLiteral("10"));
        Messages().answers = {true};
        a.dlg.btnDelClick();
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("对不起,禁止删除当前登录用户!")});
        QCOMPARE(
            UserColumn(db, QStringLiteral("COUNT(*)"), QStringLiteral("A001"), QStringLiteral("10")).toInt(),
            1);
    }

    void emptyListOffersNothingToEditOrDelete()
    {
        FreshDb db;
        db.Exec(QStringLiteral("DELETE FROM Sys_User WHERE ShopNo='A001'"));
        ActionDialog a;
        Messages().answers = {true};
        a.dlg.btnEditClick();
        a.dlg.btnDelClick();
        QCOMPARE(frmActionEdit, nullptr);
        QCOMPARE(Messages().Count(), 0);
        QCOMPARE(a.dlg.rdUser.GetState(), Query::State::Browse);
    }

    // A merchant's administrator adds a user with codes 01 and 06; the user signs in without a
    // password, sets one, signs in with it; the login lock then keeps unknown computers out.
    void newUserSetsAPasswordAndTheLockKeepsUnknownComputersOut()
    {
        FreshDb db;
        {
            ActionDialog a;
            WithEditor([&] { a.dlg.btnAddClick(); },
                       [&](TfrmActionEdit &e) {
                           Retype(e.edtUserNo, QStringLiteral("03"));
                           Retype(e.edtUserName, QStringLiteral("仓库小刘"));
                           e.chk01->click();
                           e.chk06->click();
                           e.btnOk->click();
                       });
        }
        QString action;
        QCOMPARE(SignInThroughProcedure(QStringLiteral("A001"), QStringLiteral("03"), QString(), &action),
                 QStringLiteral("0"));
        QCOMPARE(action, QStringLiteral("01,06,"));

        // The new user's navigation bar, and the password set through its 修改密码 entry.
        SetSignedIn(QStringLiteral("A001"), QStringLiteral("03"), action);
        {
            TfrmMain main(false);
            main.show(); // the navigation bar is built as the window shows
            QStringList entries;
            TNavButton *change = nullptr;
            for (TNavButton *b : main.NavButtons()) {
                entries << b->text();
                if (b->Hint == QLatin1String("-frmPassword")) change = b;
            }
            QCOMPARE(entries, (QStringList{QStringLiteral("联盟库存"), QStringLiteral("修改密码"),
                                           QStringLiteral("关于系统")}));
            QVERIFY(change);
            bool shown = false;
            QTimer timer;
            timer.setSingleShot(true);
            QObject::connect(&timer, &QTimer::timeout, [&] {
                if (!frmPassword || !frmPassword->isVisible()) return;
                shown = true;
                frmPassword->edtNewPass->setText(QStringLiteral("liu2024"));
                frmPassword->edtConfirm->setText(QStringLiteral("liu2024"));
                frmPassword->btnOk->click();
                if (frmPassword->isVisible()) frmPassword->btnCancel->click();
            });
            timer.start(0);
            change->click();
            QVERIFY(shown);
            QCOMPARE(Messages().LastText(), QStringLiteral("密码修改成功！请您记好新密码！"));
        }
        QVERIFY(SignInThroughProcedure(QStringLiteral("A001"), QStringLiteral("03"), QString()) !=
                QStringLiteral("0"));
        QCOMPARE(
            SignInThroughProcedure(QStringLiteral("A001"), QStringLiteral("03"), QStringLiteral("liu2024")),
            QStringLiteral("0"));

        // Lock as the administrator; this computer has signed in above, another one has not.
        SetSignedIn(QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("01,03,04,05,06,"));
        {
            ActionDialog a;
            if (!a.dlg.chkLocked->isChecked()) a.dlg.chkLocked->click();
        }
        const QString unknown = QStringLiteral("0000000000000001");
        QVERIFY(SignInThroughProcedure(QStringLiteral("A001"), QStringLiteral("03"),
                                       QStringLiteral("liu2024"), nullptr, unknown) != QStringLiteral("0"));
        QCOMPARE(
            SignInThroughProcedure(QStringLiteral("A001"), QStringLiteral("03"), QStringLiteral("liu2024")),
            QStringLiteral("0"));
    }

    void editorKeysMoveThroughTheFields()
    {
        FreshDb db;
        ActionDialog a;
        WithEditor([&] { a.dlg.btnAddClick(); },
                   [&](TfrmActionEdit &e) {
                       e.activateWindow();
                       QVERIFY(QTest::qWaitForWindowActive(&e));
                       e.edtUserNo->setFocus();
                       QTest::keyClick(e.edtUserNo, Qt::Key_Return);
                       QCOMPARE(e.focusWidget(), e.edtUserName);
                       QTest::keyClick(e.edtUserName, Qt::Key_Down);
                       QCOMPARE(e.focusWidget(), e.chk01);
                       QTest::keyClick(e.chk01, Qt::Key_Down); // chk02 is disabled here
                       QCOMPARE(e.focusWidget(), e.chk03);
                       QTest::keyClick(e.chk03, Qt::Key_Up);
                       QCOMPARE(e.focusWidget(), e.chk01);
                   });
        QCOMPARE(UserCount(db, QStringLiteral("A001")), 2);
    }
};

QEN_TEST_MAIN(TestAction)
#include "test_action.moc"
