// The membership application on the embedded database: required fields in screen order, what
// Sp_Sys_Reg records, refusals and failures, and the new merchant's way to its first sign-in.
#include "fixture/Fixture.h"
#include "foundation/untPublic.h"
#include "signin/untLogin.h"
#include "signin/untReg.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

const QStringList kEdits{QStringLiteral("edtShopNo"),  QStringLiteral("edtShopName"),
                         QStringLiteral("edtAllName"), QStringLiteral("edtLinkPer"),
                         QStringLiteral("edtTel"),     QStringLiteral("edtAddress"),
                         QStringLiteral("edtUserNo"),  QStringLiteral("edtPassword")};

QLineEdit *Edit(TfrmReg &dlg, const QString &name)
{
    return dlg.findChild<QLineEdit *>(name);
}

// A complete application, with blanks around most values.
void FillValid(TfrmReg &dlg)
{
    Edit(dlg, QStringLiteral("edtShopNo"))->setText(QStringLiteral(" N001 "));
    Edit(dlg, QStringLiteral("edtShopName"))->setText(QStringLiteral(" 新星汽配"));
    Edit(dlg, QStringLiteral("edtAllName"))->setText(QStringLiteral("新星汽车配件有限公司\t"));
    Edit(dlg, QStringLiteral("edtLinkPer"))->setText(QStringLiteral("王五"));
    Edit(dlg, QStringLiteral("edtTel"))->setText(QStringLiteral(" 0571-88886666 "));
    Edit(dlg, QStringLiteral("edtAddress"))->setText(QStringLiteral("杭州市汽配城 12 号 "));
    Edit(dlg, QStringLiteral("edtUserNo"))->setText(QStringLiteral(" 01"));
    Edit(dlg, QStringLiteral("edtPassword"))->setText(QStringLiteral("  secret "));
}

void ShowActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

int ShopCount(FreshDb &db)
{
    return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Shop")).toInt();
}

} // namespace

class TestReg : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Messages().Clear();
        SysSet.LoginOk = false;
    }

    void fieldsInOrderWithTheirWidths()
    {
        TfrmReg dlg;
        QCOMPARE(dlg.size(), QSize(584, 362));
        QCOMPARE(dlg.windowTitle(), SysSet.AppTitle);
        QCOMPARE(dlg.btnOk->text(), QStringLiteral("提交(&O)"));
        QCOMPARE(dlg.btnCancel->text(), QStringLiteral("取消(&C)"));
        QCOMPARE(dlg.lbShopNoNote->text(), QStringLiteral("(10位以内字符)"));
        QCOMPARE(dlg.edtPassword->echoMode(), QLineEdit::Password);

        ShowActive(&dlg);
        QCOMPARE(QApplication::focusWidget(), dlg.edtShopNo);
        // Enter walks the fields in screen order and on to the buttons; it never submits.
        const QList<int> widths{10, 30, 60, 20, 30, 100, 10, 30};
        for (int i = 0; i < kEdits.size(); ++i) {
            QLineEdit *edit = Edit(dlg, kEdits[i]);
            QCOMPARE(QApplication::focusWidget(), edit);
            QTest::keyClicks(edit, QString(widths[i] + 3, QLatin1Char('7')));
            QCOMPARE(edit->text().size(), widths[i]);
            QTest::keyClick(edit, Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget(), dlg.btnOk);
        QCOMPARE(Messages().Count(), 0);
        QVERIFY(dlg.isVisible());
    }

    // The first required field that is empty after trimming is reported, in screen order.
    void requiredFieldsInScreenOrder_data()
    {
        QTest::addColumn<int>("blankFrom"); // this field and every later one are blank
        QTest::addColumn<bool>("onlyThatOne");
        QTest::addColumn<QString>("message");
        const QStringList messages{
            QStringLiteral("商户编号不能为空,请检查！"),  QStringLiteral("商户简称不能为空,请检查！"),
            QStringLiteral("商户全称不能为空,请检查！"),  QStringLiteral("商户代表不能为空,请检查！"),
            QStringLiteral("联系电话不能为空,请检查！"),  QStringLiteral("联系地址不能为空,请检查！"),
            QStringLiteral("管理员账号不能为空,请检查！")};
        for (int i = 0; i < messages.size(); ++i) {
            QTest::addRow("%s and all after", qPrintable(kEdits[i])) << i << false << messages[i];
            QTest::addRow("%s alone", qPrintable(kEdits[i])) << i << true << messages[i];
        }
    }

    void requiredFieldsInScreenOrder()
    {
        QFETCH(int, blankFrom);
        QFETCH(bool, onlyThatOne);
        QFETCH(QString, message);
        FreshDb db;
        const int shops = ShopCount(db);
        TfrmReg dlg;
        ShowActive(&dlg);
        FillValid(dlg);
        for (int i = blankFrom; i < kEdits.size(); ++i)
            if (i == blankFrom || !onlyThatOne)
                Edit(dlg, kEdits[i])->setText(i % 2 ? QStringLiteral("  ") : QString());
        dlg.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{message});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Info);
        QCOMPARE(QApplication::focusWidget(), Edit(dlg, kEdits[blankFrom]));
        QVERIFY(dlg.isVisible());
        QCOMPARE(ShopCount(db), shops);
    }

    // Success: the merchant waits for review, and its sign-in is refused until it is approved.
    void successThenReviewThenSignIn()
    {
        FreshDb db;
        TfrmReg dlg;
        ShowActive(&dlg);
        FillValid(dlg);
        dlg.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("提交成功,请等待审核!")});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Info);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QVERIFY(!SysSet.LoginOk); // applying signs nobody in

        const QVariant row = db.Scalar(QStringLiteral(
            "SELECT ShopName || '|' || AllName || '|' || LinkPer || '|' || Tel || '|' || Address || '|' "
            "|| State || '|' || Users || '|' || Locked || '|' || Admin FROM Sys_Shop WHERE ShopNo='N001'"));
        QCOMPARE(row.toString(),
                 QStringLiteral(
                     "新星汽配|新星汽车配件有限公司|王五|0571-88886666|杭州市汽配城 12 号|待审核|1|0|0"));
        QCOMPARE(
            db.Scalar(QStringLiteral("SELECT Password FROM Sys_User WHERE ShopNo='N001' AND UserNo='01'"))
                .toString(),
            EncodePassword(QStringLiteral("secret")));

        Messages().Clear();
        TfrmLogin login;
        login.edtShopNo->setText(QStringLiteral("N001"));
        login.edtUserNo->setText(QStringLiteral("01"));
        login.edtPassword->setText(QStringLiteral("secret"));
        login.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("该商户正在等待审核,审核通过后才能登录!")});
        QVERIFY(!SysSet.LoginOk);

        db.Exec(QStringLiteral("UPDATE Sys_Shop SET State='已上线' WHERE ShopNo='N001'"));
        Messages().Clear();
        login.btnOkClick();
        QCOMPARE(Messages().Count(), 0);
        QVERIFY(SysSet.LoginOk);
        QCOMPARE(SysSet.AllName, QStringLiteral("新星汽车配件有限公司"));
        QCOMPARE(SysSet.Action, QStringLiteral("01,03,04,05,06,"));
    }

    void emptyPasswordIsAccepted()
    {
        FreshDb db;
        TfrmReg dlg;
        FillValid(dlg);
        dlg.edtPassword->setText(QStringLiteral("   "));
        dlg.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("提交成功,请等待审核!")});
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Password FROM Sys_User WHERE ShopNo='N001'")).toString(),
                 EncodePassword(QString()));
    }

    // The empty password's filler has the empty password's stored form: refused before sending.
    void fillerPasswordIsRefused()
    {
        FreshDb db;
        const int shops = ShopCount(db);
        TfrmReg dlg;
        ShowActive(&dlg);
        FillValid(dlg);
        dlg.edtPassword->setText(QStringLiteral(" 30417265831950 "));
        QVERIFY(IsPasswordFiller(TrimText(dlg.edtPassword->text())));
        dlg.btnOkClick();
        QCOMPARE(Messages().Count(), 1);
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Info);
        QVERIFY(Messages().LastText().contains(QStringLiteral("密码")));
        QCOMPARE(QApplication::focusWidget(), dlg.edtPassword);
        QVERIFY(dlg.isVisible());
        QCOMPARE(ShopCount(db), shops);
    }

    // A taken number, in any letter case, is refused with the server's text; the dialog stays.
    void takenNumberIsRefused_data()
    {
        QTest::addColumn<QString>("shopNo");
        QTest::newRow("same") << "A001";
        QTest::newRow("other case") << "a001";
        QTest::newRow("administrator") << "0000";
    }

    void takenNumberIsRefused()
    {
        QFETCH(QString, shopNo);
        FreshDb db;
        const int shops = ShopCount(db);
        const QString allName =
            db.Scalar(QStringLiteral("SELECT AllName FROM Sys_Shop WHERE ShopNo=?"), {shopNo.toUpper()})
                .toString();
        TfrmReg dlg;
        ShowActive(&dlg);
        FillValid(dlg);
        dlg.edtShopNo->setText(shopNo);
        dlg.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("该商户编号已被使用,请换一个编号!")});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Warn);
        QVERIFY(dlg.isVisible());
        QCOMPARE(ShopCount(db), shops);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT AllName FROM Sys_Shop WHERE ShopNo=?"), {shopNo.toUpper()})
                     .toString(),
                 allName);
    }

    void unreachableServer()
    {
        FreshDb db;
        frmData->rdConn.SetEmbeddedPath(QStringLiteral("/proc/qen-no-such-dir/alliance.db"));
        TfrmReg dlg;
        FillValid(dlg);
        dlg.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("服务器连接失败,请检查！")});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Warn);
    }

    void procedureErrorShowsFixedMessage()
    {
        FreshDb db;
        db.Exec(QStringLiteral("ALTER TABLE Sys_User RENAME TO Sys_User_Gone"));
        TfrmReg dlg;
        FillValid(dlg);
        dlg.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("提交失败,请重试！")});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Warn);
        // One transaction: the merchant row did not stay behind either.
        QCOMPARE(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Shop WHERE ShopNo='N001'")).toInt(), 0);
    }

    void escCancelsWithoutSubmitting()
    {
        FreshDb db;
        const int shops = ShopCount(db);
        TfrmReg dlg;
        ShowActive(&dlg);
        FillValid(dlg);
        dlg.edtAddress->setFocus();
        QTest::keyClick(dlg.edtAddress, Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(Messages().Count(), 0);
        QCOMPARE(ShopCount(db), shops);
    }

    void screenshot()
    {
        TfrmReg dlg;
        ShowActive(&dlg);
        FillValid(dlg);
        QVERIFY(!QImage(GrabToPng(&dlg, QStringLiteral("reg"))).isNull());
    }
};

QEN_TEST_MAIN(TestReg)
#include "test_reg.moc"
