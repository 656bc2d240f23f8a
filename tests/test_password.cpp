// Change of the own password, checked against the real sign-in procedure on the embedded database.
#include "foundation/untPublic.h"
#include "signin/untPassword.h"
#include "tests/fixture/Fixture.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

using Kind = MessagePresenter::Kind;

const QString Shop = QStringLiteral("A001");
const QString User = QStringLiteral("01");
const QString Current = QStringLiteral("123456");

const QString MsgMismatch = QStringLiteral("新密码与确认密码不一致，请重新输入！");
const QString MsgNoUser = QStringLiteral("对不起,系统中已无此用户,不能进行此操作！");
const QString MsgWrongOld = QStringLiteral("对不起,原密码错误,请重输！");
const QString MsgDone = QStringLiteral("密码修改成功！请您记好新密码！");

bool SignsIn(const QString &password)
{
    return TrimText(SignInThroughProcedure(Shop, User, password)) == QLatin1String("0");
}

QVariant StoredForm(FreshDb &db)
{
    return db.Scalar(QStringLiteral("SELECT Password FROM Sys_User WHERE ShopNo=? AND UserNo=?"),
                     {Shop, User});
}

void Fill(TfrmPassword &dlg, const QString &oldPass, const QString &newPass, const QString &confirm)
{
    dlg.edtOldPass->setText(oldPass);
    dlg.edtNewPass->setText(newPass);
    dlg.edtConfirm->setText(confirm);
}

} // namespace

class TestPassword : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Messages().Clear();
        SetSignedIn(Shop, User, QStringLiteral("01,03,04,05,06,"));
    }

    void looksAndStartsInTheCurrentPassword()
    {
        FreshDb db;
        TfrmPassword dlg;
        frmPassword = &dlg;
        dlg.show();
        QCOMPARE(dlg.windowTitle(), SysSet.AppTitle);
        QCOMPARE(dlg.focusWidget(), dlg.edtOldPass);
        QCOMPARE(dlg.size(), QSize(392, 208));
        for (QLineEdit *e : {dlg.edtOldPass, dlg.edtNewPass, dlg.edtConfirm})
            QCOMPARE(e->echoMode(), QLineEdit::Password);
        Fill(dlg, Current, QStringLiteral("abc"), QStringLiteral("abc"));
        GrabToPng(&dlg, QStringLiteral("password"));
        frmPassword = nullptr;
    }

    void save_data()
    {
        QTest::addColumn<QString>("oldPass");
        QTest::addColumn<QString>("newPass");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");   // where a refusal puts the focus
        QTest::addColumn<QString>("signsIn"); // the password that works afterwards

        QTest::newRow("outer blanks differ") << Current << " abc "
                                             << "abc\t " << MsgDone << ""
                                             << "abc";
        QTest::newRow("both empty") << Current << ""
                                    << "" << MsgDone << ""
                                    << "";
        QTest::newRow("current typed with blanks") << "  123456 "
                                                   << "x9"
                                                   << "x9" << MsgDone << ""
                                                   << "x9";
        QTest::newRow("Chinese password") << Current << "密码口令"
                                          << "密码口令" << MsgDone << ""
                                          << "密码口令";
        QTest::newRow("30 bytes") << Current << QString(30, u'a') << QString(30, u'a') << MsgDone << ""
                                  << QString(30, u'a');
        QTest::newRow("new and confirmation differ") << Current << "abc"
                                                     << "abd" << MsgMismatch << "edtNewPass" << Current;
        QTest::newRow("letter case counts") << Current << "abc"
                                            << "ABC" << MsgMismatch << "edtNewPass" << Current;
        QTest::newRow("wrong current password") << "12345"
                                                << "abc"
                                                << "abc" << MsgWrongOld << "edtOldPass" << Current;
        QTest::newRow("mismatch is checked first") << "wrong"
                                                   << "a"
                                                   << "b" << MsgMismatch << "edtNewPass" << Current;
        // The filler's form is the empty password's: it would silently equal no password.
        QTest::newRow("the empty-password filler")
            << Current << "30417265831950"
            << " 30417265831950" << QStringLiteral("该密码为系统保留值，不能作为新密码，请重新输入！")
            << "edtNewPass" << Current;
        // The login dialog takes at most 30 characters: a longer password could never sign in.
        QTest::newRow("longer than the login takes")
            << Current << QString(31, u'a') << QString(31, u'a')
            << QStringLiteral("新密码不能超过30个字符(一个汉字占两个字符)，请重新输入！") << "edtNewPass"
            << Current;
        QTest::newRow("16 Chinese characters")
            << Current << QString(16, u'密') << QString(16, u'密')
            << QStringLiteral("新密码不能超过30个字符(一个汉字占两个字符)，请重新输入！") << "edtNewPass"
            << Current;
    }
    void save()
    {
        QFETCH(QString, oldPass);
        QFETCH(QString, newPass);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QString, signsIn);
        FreshDb db;
        const QVariant before = StoredForm(db);
        TfrmPassword dlg;
        dlg.show();
        Fill(dlg, oldPass, newPass, confirm);
        dlg.btnOk->click();

        QCOMPARE(Messages().Texts(), QStringList{message});
        if (message == MsgDone) {
            QCOMPARE(Messages().LastKind(), Kind::Info);
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(StoredForm(db).toString(), EncodePassword(TrimText(newPass)));
            QVERIFY(!SignsIn(Current) || TrimText(newPass) == Current);
        } else {
            QCOMPARE(Messages().LastKind(), Kind::Warn);
            QVERIFY(dlg.isVisible());
            QCOMPARE(dlg.focusWidget()->objectName(), focus);
            QCOMPARE(StoredForm(db), before);
            QCOMPARE(dlg.edtNewPass->text(), newPass); // the input stays as typed
        }
        QVERIFY(SignsIn(signsIn));
        // SysSet is untouched: the user stays signed in.
        QCOMPARE(SysSet.UserNo, User);
    }

    void nullStoredPasswordNeverMatches()
    {
        FreshDb db;
        db.Exec(QStringLiteral("UPDATE Sys_User SET Password=NULL WHERE ShopNo=? AND UserNo=?"),
                {Shop, User});
        TfrmPassword dlg;
        dlg.show();
        for (const QString &old : {QString(), Current}) {
            Messages().Clear();
            Fill(dlg, old, QStringLiteral("abc"), QStringLiteral("abc"));
            dlg.btnOk->click();
            QCOMPARE(Messages().Texts(), QStringList{MsgWrongOld});
        }
        QVERIFY(StoredForm(db).isNull());
    }

    void deletedUserIsTold()
    {
        FreshDb db;
        TfrmPassword dlg;
        dlg.show();
        db.Exec(QStringLiteral("DELETE FROM Sys_User WHERE ShopNo=? AND UserNo=?"), {Shop, User});
        Fill(dlg, Current, QStringLiteral("abc"), QStringLiteral("abc"));
        dlg.btnOk->click();
        QCOMPARE(Messages().Texts(), QStringList{MsgNoUser});
        QVERIFY(dlg.isVisible());
        QCOMPARE(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_User WHERE ShopNo=?"), {Shop}).toInt(),
                 1);
    }

    void writeThatReachesNoRowIsNotASuccess()
    {
        FreshDb db;
        // The row is gone by the time the new password is written (the write changes nothing).
        db.Exec(QStringLiteral(
            "CREATE TRIGGER LostRow BEFORE UPDATE ON Sys_User BEGIN SELECT RAISE(IGNORE); END"));
        TfrmPassword dlg;
        dlg.show();
        Fill(dlg, Current, QStringLiteral("abc"), QStringLiteral("abc"));
        dlg.btnOk->click();
        QCOMPARE(Messages().Texts(), QStringList{MsgNoUser});
        QVERIFY(dlg.isVisible());
        QVERIFY(SignsIn(Current));
    }

    void databaseErrorIsShownAndTheDialogStays()
    {
        FreshDb db;
        db.Exec(QStringLiteral("CREATE TRIGGER Refuse BEFORE UPDATE ON Sys_User "
                               "BEGIN SELECT RAISE(ABORT, 'write refused'); END"));
        TfrmPassword dlg;
        dlg.show();
        Fill(dlg, Current, QStringLiteral("abc"), QStringLiteral("abc"));
        dlg.btnOk->click();
        QCOMPARE(Messages().Count(), 1);
        QCOMPARE(Messages().LastKind(), Kind::Error);
        QVERIFY(Messages().LastText().contains(QStringLiteral("write refused")));
        QVERIFY(dlg.isVisible());
    }

    void cancelAndEscChangeNothing_data()
    {
        QTest::addColumn<bool>("useEsc");
        QTest::newRow("cancel button") << false;
        QTest::newRow("Esc") << true;
    }
    void cancelAndEscChangeNothing()
    {
        QFETCH(bool, useEsc);
        FreshDb db;
        const QVariant before = StoredForm(db);
        TfrmPassword dlg;
        dlg.show();
        Fill(dlg, Current, QStringLiteral("abc"), QStringLiteral("abc"));
        if (useEsc)
            QTest::keyClick(dlg.edtConfirm, Qt::Key_Escape);
        else
            dlg.btnCancel->click();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(Messages().Count(), 0);
        QCOMPARE(StoredForm(db), before);
    }

    void enterInAnEditDoesNotSubmit()
    {
        FreshDb db;
        const QVariant before = StoredForm(db);
        TfrmPassword dlg;
        dlg.show();
        Fill(dlg, Current, QStringLiteral("abc"), QStringLiteral("abc"));
        QTest::keyClick(dlg.edtConfirm, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QCOMPARE(Messages().Count(), 0);
        QCOMPARE(StoredForm(db), before);
    }
};

QEN_TEST_MAIN(TestPassword)
#include "test_password.moc"
