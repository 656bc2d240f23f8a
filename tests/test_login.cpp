// The sign-in dialog on the embedded database: focus rules, checks, the server's answer, what
// is remembered, and the keyboard path with real keys.
#include "fixture/Fixture.h"
#include "foundation/SettingsIni.h"
#include "foundation/untPublic.h"
#include "signin/untLogin.h"
#include "signin/untReg.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

const QString MsgShopEmpty = QStringLiteral("商户编号不能为空,请检查!");
const QString MsgUserEmpty = QStringLiteral("用户编号不能为空,请检查!");

QByteArray SettingsBytes()
{
    QFile file(settingsIni->FileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ShowActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

void Fill(TfrmLogin &dlg, const QString &shop, const QString &user, const QString &password)
{
    dlg.edtShopNo->setText(shop);
    dlg.edtUserNo->setText(user);
    dlg.edtPassword->setText(password);
}

} // namespace

class TestLogin : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Messages().Clear();
        QFile::remove(settingsIni->FileName());
        SysSet.ShopNo.clear();
        SysSet.UserNo.clear();
        SysSet.ShopName.clear();
        SysSet.AllName.clear();
        SysSet.Action.clear();
        SysSet.LoginOk = false;
    }

    void formShowFillsAndFocuses_data()
    {
        QTest::addColumn<QString>("shop");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("focus");
        QTest::newRow("first run") << ""
                                   << ""
                                   << "edtShopNo";
        QTest::newRow("merchant only") << "A001"
                                       << ""
                                       << "edtUserNo";
        QTest::newRow("both remembered") << "A001"
                                         << "01"
                                         << "edtPassword";
        QTest::newRow("user but no merchant") << ""
                                              << "01"
                                              << "edtShopNo";
        // The test is on the text itself: a blank is not empty.
        QTest::newRow("blank merchant") << " "
                                        << ""
                                        << "edtUserNo";
    }

    void formShowFillsAndFocuses()
    {
        QFETCH(QString, shop);
        QFETCH(QString, user);
        QFETCH(QString, focus);
        SysSet.ShopNo = shop;
        SysSet.UserNo = user;
        TfrmLogin dlg;
        ShowActive(&dlg);
        QCOMPARE(dlg.windowTitle(), SysSet.AppTitle);
        QCOMPARE(dlg.edtShopNo->text(), shop);
        QCOMPARE(dlg.edtUserNo->text(), user);
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

    void controlsAndLimits()
    {
        TfrmLogin dlg;
        QCOMPARE(dlg.size(), QSize(434, 217));
        QCOMPARE(dlg.btnOk->text(), QStringLiteral("确定(&O)"));
        QCOMPARE(dlg.btnCancel->text(), QStringLiteral("取消(&C)"));
        QCOMPARE(dlg.Label4->text(), QStringLiteral("注册申请"));
        QCOMPARE(dlg.edtPassword->echoMode(), QLineEdit::Password);
        QVERIFY(!dlg.btnOk->autoDefault() && !dlg.btnOk->isDefault());
        // Widths count GBK bytes: ten ASCII characters, or five Chinese ones.
        ShowActive(&dlg);
        QTest::keyClicks(dlg.edtShopNo, QStringLiteral("ABCDEFGHIJKL"));
        QCOMPARE(dlg.edtShopNo->text(), QStringLiteral("ABCDEFGHIJ"));
        dlg.edtUserNo->clear();
        TypeText(dlg.edtUserNo, QStringLiteral("一二三四五六"));
        QVERIFY(GbkLength(dlg.edtUserNo->text()) <= 10);
        QTest::keyClicks(dlg.edtPassword, QString(40, QLatin1Char('x')));
        QCOMPARE(dlg.edtPassword->text().size(), 30);
    }

    void blankNumbersAreRefused_data()
    {
        QTest::addColumn<QString>("shop");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("merchant empty") << ""
                                        << "01" << MsgShopEmpty << "edtShopNo";
        QTest::newRow("merchant blanks") << "   "
                                         << "01" << MsgShopEmpty << "edtShopNo";
        QTest::newRow("merchant tab and blanks") << "\t \t"
                                                 << "" << MsgShopEmpty << "edtShopNo";
        QTest::newRow("user empty") << "A001"
                                    << "" << MsgUserEmpty << "edtUserNo";
        QTest::newRow("user blanks") << "A001"
                                     << "  " << MsgUserEmpty << "edtUserNo";
    }

    void blankNumbersAreRefused()
    {
        QFETCH(QString, shop);
        QFETCH(QString, user);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        FreshDb db;
        TfrmLogin dlg;
        ShowActive(&dlg);
        Fill(dlg, shop, user, QStringLiteral("123456"));
        dlg.edtPassword->setFocus();
        dlg.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{message});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Info);
        QCOMPARE(Messages().messages.last().caption, SysSet.AppTitle);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(dlg.isVisible());
        QVERIFY(!SysSet.LoginOk);
        QCOMPARE(dlg.edtShopNo->text(), shop); // input left as typed
        QVERIFY(!frmData->rdConn.Connected()); // the server was not asked
    }

    // Values with blanks around them are sent and stored without them; the server records the
    // computer; the numbers are remembered.
    void signInTrimsSendsAndStores()
    {
        FreshDb db;
        TfrmLogin dlg;
        ShowActive(&dlg);
        Fill(dlg, QStringLiteral("  A001 "), QStringLiteral("\t01 "), QStringLiteral(" 123456  "));
        dlg.btnOkClick();

        QCOMPARE(Messages().Texts(), QStringList());
        QVERIFY(SysSet.LoginOk);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(SysSet.ShopNo, QStringLiteral("A001"));
        QCOMPARE(SysSet.UserNo, QStringLiteral("01"));
        QCOMPARE(SysSet.Action, QStringLiteral("01,03,04,05,06,"));
        QCOMPARE(SysSet.ShopName,
                 db.Scalar(QStringLiteral("SELECT ShopName FROM Sys_Shop WHERE ShopNo='A001'")).toString());
        QCOMPARE(SysSet.AllName,
                 db.Scalar(QStringLiteral("SELECT AllName FROM Sys_Shop WHERE ShopNo='A001'")).toString());
        QVERIFY(!SysSet.AllName.isEmpty());

        // Sp_Sys_Login got the host's identity and name.
        QCOMPARE(db.Scalar(QStringLiteral("SELECT HostName FROM Sys_Login WHERE ShopNo='A001' AND HostId=?"),
                           {HostIdentity()})
                     .toString(),
                 LocalComputerName());
        QCOMPARE(db.Scalar(QStringLiteral("SELECT LastUser FROM Sys_Login WHERE ShopNo='A001' AND HostId=?"),
                           {HostIdentity()})
                     .toString(),
                 QStringLiteral("01"));

        // Remembered in section "Set", and a new dialog starts with them and the focus in the password.
        const QByteArray ini = SettingsBytes();
        QVERIFY2(ini.contains("ShopNo=A001\r\n") || ini.contains("ShopNo=A001\n"), ini.constData());
        QVERIFY2(ini.contains("UserNo=01"), ini.constData());
        QVERIFY(ini.contains("[Set]"));
        SysSet.ShopNo = settingsIni->ReadString(QStringLiteral("Set"), QStringLiteral("ShopNo"), QString());
        SysSet.UserNo = settingsIni->ReadString(QStringLiteral("Set"), QStringLiteral("UserNo"), QString());
        TfrmLogin next;
        ShowActive(&next);
        QCOMPARE(next.edtShopNo->text(), QStringLiteral("A001"));
        QCOMPARE(next.edtUserNo->text(), QStringLiteral("01"));
        QCOMPARE(QApplication::focusWidget(), next.edtPassword);
    }

    // User 02 of A001 has the empty password: it is sent in the empty password's stored form,
    // and any other password is refused.
    void emptyPasswordIsSentAsItsStoredForm_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("blanks only") << "   " << true;
        QTest::newRow("something") << "x" << false;
    }

    void emptyPasswordIsSentAsItsStoredForm()
    {
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        FreshDb db;
        QCOMPARE(
            db.Scalar(QStringLiteral("SELECT Password FROM Sys_User WHERE ShopNo='A001' AND UserNo='02'"))
                .toString(),
            EncodePassword(QString()));
        TfrmLogin dlg;
        Fill(dlg, QStringLiteral("A001"), QStringLiteral("02"), password);
        dlg.btnOkClick();
        QCOMPARE(SysSet.LoginOk, accepted);
        if (accepted) {
            QCOMPARE(SysSet.Action, QStringLiteral("01,03,"));
            QCOMPARE(Messages().Count(), 0);
        } else {
            QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("用户编号或密码错误,请重新输入!")});
        }
    }

    // The server's reason is shown as it wrote it; nothing is stored; the dialog stays open with
    // the input as typed, and a corrected second try succeeds.
    void refusalTouchesNothingThenRetrySucceeds_data()
    {
        QTest::addColumn<QString>("shop");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("reason");
        QTest::newRow("wrong password") << "A001"
                                        << "01"
                                        << "654321"
                                        << "用户编号或密码错误,请重新输入!";
        QTest::newRow("unknown user") << "A001"
                                      << "09"
                                      << "123456"
                                      << "用户编号或密码错误,请重新输入!";
        QTest::newRow("unknown merchant") << "Z999"
                                          << "01"
                                          << "123456"
                                          << "商户编号不存在,请检查后重新输入!";
        QTest::newRow("awaiting review") << "B001"
                                         << "01"
                                         << "123456"
                                         << "该商户正在等待审核,审核通过后才能登录!";
        QTest::newRow("blocked") << "C001"
                                 << "01"
                                 << "123456"
                                 << "该商户已被屏蔽,不能登录,请与平台管理员联系!";
    }

    void refusalTouchesNothingThenRetrySucceeds()
    {
        QFETCH(QString, shop);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, reason);
        FreshDb db;
        SysSet.ShopNo = QStringLiteral("0000");
        SysSet.UserNo = QStringLiteral("01");
        SaveLoginIds();
        const QByteArray iniBefore = SettingsBytes();
        const TSysSet before = SysSet;

        TfrmLogin dlg;
        ShowActive(&dlg);
        Fill(dlg, shop, user, password);
        dlg.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{reason});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Warn);
        QVERIFY(!SysSet.LoginOk);
        QCOMPARE(SysSet.ShopNo, before.ShopNo);
        QCOMPARE(SysSet.UserNo, before.UserNo);
        QCOMPARE(SysSet.AllName, before.AllName);
        QCOMPARE(SysSet.Action, before.Action);
        QCOMPARE(SettingsBytes(), iniBefore);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.edtPassword->text(), password); // not cleared

        Messages().Clear();
        Fill(dlg, QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("123456"));
        dlg.btnOkClick();
        QCOMPARE(Messages().Count(), 0);
        QVERIFY(SysSet.LoginOk);
        QCOMPARE(SysSet.ShopNo, QStringLiteral("A001"));
        QVERIFY(SettingsBytes().contains("ShopNo=A001"));
    }

    // Only "0", once trimmed, is success; anything else is the server's refusal.
    void runStateMeaning_data()
    {
        QTest::addColumn<QString>("runState");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("0") << "0" << true;
        QTest::newRow("0 with blanks") << "  0 " << true;
        QTest::newRow("0 with tab and newline") << "\t0\r\n" << true;
        QTest::newRow("00") << "00" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("null") << QString() << false;
        // A double-byte blank is an ordinary character, not trimmed.
        QTest::newRow("0 with ideographic blank") << QStringLiteral("0\u3000") << false;
        QTest::newRow("reason") << "用户编号或密码错误,请重新输入!" << false;
    }

    void runStateMeaning()
    {
        QFETCH(QString, runState);
        QFETCH(bool, accepted);
        QCOMPARE(RunStateAccepted(runState), accepted);
    }

    void unreachableServer()
    {
        FreshDb db;
        frmData->rdConn.SetEmbeddedPath(QStringLiteral("/proc/qen-no-such-dir/alliance.db"));
        TfrmLogin dlg;
        Fill(dlg, QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("123456"));
        dlg.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("联盟服务器连接失败,请检查！")});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Warn);
        QVERIFY(!SysSet.LoginOk);
        QVERIFY(SysSet.ShopNo.isEmpty());
    }

    void procedureErrorShowsFixedMessage()
    {
        FreshDb db;
        db.Exec(QStringLiteral("ALTER TABLE Sys_Login RENAME TO Sys_Login_Gone"));
        TfrmLogin dlg;
        Fill(dlg, QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("123456"));
        dlg.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("登录失败,请重试！")});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Warn);
        QVERIFY(!SysSet.LoginOk);
        QVERIFY(SysSet.ShopNo.isEmpty());
        QVERIFY(SysSet.Action.isEmpty());
    }

    // The server accepted: a settings file that cannot be written is reported, and the
    // sign-in still completes.
    void unwritableSettingsStillSignsIn()
    {
        FreshDb db;
        SettingsIni unwritable(QStringLiteral("/proc/qen-no-such-dir/qen.tmp"));
        SettingsIni *const saved = settingsIni;
        settingsIni = &unwritable;
        TfrmLogin dlg;
        ShowActive(&dlg);
        Fill(dlg, QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("123456"));
        dlg.btnOkClick();
        settingsIni = saved;

        QCOMPARE(Messages().Count(), 1);
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Error);
        QVERIFY2(Messages().LastText().contains(QStringLiteral("qen.tmp")),
                 qPrintable(Messages().LastText()));
        QVERIFY(SysSet.LoginOk);
        QCOMPARE(SysSet.ShopNo, QStringLiteral("A001"));
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
    }

    // merchant number, Enter, user number, Enter, password, Enter, Enter: signed in.
    void keyboardPathSignsIn_data()
    {
        QTest::addColumn<bool>("remembered");
        QTest::newRow("first run") << false;
        QTest::newRow("numbers remembered") << true;
    }

    void keyboardPathSignsIn()
    {
        QFETCH(bool, remembered);
        FreshDb db;
        if (remembered) {
            SysSet.ShopNo = QStringLiteral("A001");
            SysSet.UserNo = QStringLiteral("01");
        }
        TfrmLogin dlg;
        ShowActive(&dlg);
        if (!remembered) {
            QCOMPARE(QApplication::focusWidget(), dlg.edtShopNo);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("A001"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), dlg.edtUserNo);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("01"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget(), dlg.edtPassword);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("123456"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dlg.btnOk);
        QVERIFY(!SysSet.LoginOk); // Enter in an edit never signs in
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(Messages().Texts(), QStringList());
        QVERIFY(SysSet.LoginOk);
        QCOMPARE(SysSet.ShopNo, QStringLiteral("A001"));
        QVERIFY(!dlg.isVisible());
    }

    void arrowKeysMoveThroughTheTabOrder()
    {
        TfrmLogin dlg;
        ShowActive(&dlg);
        QCOMPARE(QApplication::focusWidget(), dlg.edtShopNo);
        const QList<QWidget *> order{dlg.edtUserNo, dlg.edtPassword, dlg.btnOk, dlg.btnCancel, dlg.edtShopNo};
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up); // wraps to the last
        QCOMPARE(QApplication::focusWidget(), dlg.btnCancel);
        QVERIFY(dlg.isVisible());
    }

    void escCancels_data()
    {
        QTest::addColumn<QString>("from");
        QTest::newRow("merchant number") << "edtShopNo";
        QTest::newRow("password") << "edtPassword";
        QTest::newRow("OK button") << "btnOk";
    }

    void escCancels()
    {
        QFETCH(QString, from);
        FreshDb db;
        TfrmLogin dlg;
        ShowActive(&dlg);
        Fill(dlg, QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("123456"));
        QWidget *start = dlg.findChild<QWidget *>(from);
        start->setFocus();
        QTest::keyClick(start, Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!SysSet.LoginOk);
        QCOMPARE(Messages().Count(), 0);
        QVERIFY(!QFile::exists(settingsIni->FileName()));
    }

    // Start-up's sign-in: cancelling after a failed attempt ends it without success.
    void runLoginCancelledAfterFailure()
    {
        FreshDb db;
        bool sawDialog = false;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<TfrmLogin *>(QApplication::activeModalWidget());
            sawDialog = dlg && dlg == frmLogin;
            if (!dlg) return;
            Fill(*dlg, QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("bad"));
            dlg->btnOkClick();
            QTest::keyClick(dlg->edtPassword, Qt::Key_Escape);
        });
        QVERIFY(!RunLogin());
        QVERIFY(sawDialog);
        QCOMPARE(frmLogin, nullptr);
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("用户编号或密码错误,请重新输入!")});
    }

    void runLoginSucceeds()
    {
        FreshDb db;
        QTimer::singleShot(0, [] {
            auto *dlg = qobject_cast<TfrmLogin *>(QApplication::activeModalWidget());
            if (!dlg) return;
            Fill(*dlg, QStringLiteral("0000"), QStringLiteral("01"), QStringLiteral("admin"));
            dlg->btnOk->click();
        });
        QVERIFY(RunLogin());
        QCOMPARE(SysSet.Action, QStringLiteral("01,02,03,04,05,06,"));
    }

    // The link opens the application form modally; closing it returns to the login unchanged.
    void registrationLinkReturnsToLogin()
    {
        FreshDb db;
        TfrmLogin dlg;
        ShowActive(&dlg);
        Fill(dlg, QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("pw"));
        bool sawReg = false;
        QTimer::singleShot(0, [&] {
            auto *reg = qobject_cast<TfrmReg *>(QApplication::activeModalWidget());
            sawReg = reg && reg == frmReg;
            if (reg) QTest::keyClick(reg, Qt::Key_Escape);
        });
        QTest::mouseClick(dlg.Label4, Qt::LeftButton);
        QVERIFY(sawReg);
        QCOMPARE(frmReg, nullptr);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.edtShopNo->text(), QStringLiteral("A001"));
        QCOMPARE(dlg.edtUserNo->text(), QStringLiteral("01"));
        QCOMPARE(dlg.edtPassword->text(), QStringLiteral("pw"));
        QVERIFY(!SysSet.LoginOk);
    }

    void screenshot()
    {
        SysSet.ShopNo = QStringLiteral("A001");
        SysSet.UserNo = QStringLiteral("01");
        TfrmLogin dlg;
        ShowActive(&dlg);
        QTest::keyClicks(dlg.edtPassword, QStringLiteral("123456"));
        QVERIFY(!QImage(GrabToPng(&dlg, QStringLiteral("login"))).isNull());
    }
};

QEN_TEST_MAIN(TestLogin)
#include "test_login.moc"
