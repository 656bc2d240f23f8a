// The own merchant's contact record: what it shows, the required fields, storing as typed,
// cancelling, and a merchant whose row is gone.
#include "fixture/Fixture.h"
#include "foundation/ui/DBGrid.h"
#include "merchants/untInfo.h"
#include "merchants/untShopAll.h"
#include "stock/untStockInfo.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

const QStringList ContactColumns{"AllName", "LinkPer", "Tel",   "Address", "Per01",
                                 "Tel01",   "QQ01",    "Per02", "Tel02",   "QQ02"};

// The merchant's contact columns as stored.
QStringList StoredContact(FreshDb &db, const QString &shopNo)
{
    QStringList values;
    for (const QString &column : ContactColumns)
        values << db.Scalar(QStringLiteral("SELECT %1 FROM Sys_Shop WHERE ShopNo=?").arg(column), {shopNo})
                      .toString();
    return values;
}

// Replaces an edit's text as the user does (select all, then type), Chinese included.
void Retype(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    edit->del();
    if (!text.isEmpty()) TypeText(edit, text);
}

void ShowActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

} // namespace

class TestInfo : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Messages().Clear();
        SetSignedIn(QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("01,03,04,05,06,"));
    }

    void showsTheOwnMerchantReadyToEdit()
    {
        FreshDb db;
        TfrmInfo info;
        QCOMPARE(frmInfo, &info);
        QCOMPARE(info.windowTitle(), QStringLiteral("商户信息"));
        QCOMPARE(info.size(), QSize(584, 361));
        QCOMPARE(info.pcMain->tabText(0), QStringLiteral("修改"));
        QCOMPARE(info.rdShop.StatementText(), QStringLiteral("SELECT * FROM Sys_Shop WHERE ShopNo=:ShopNo"));
        QCOMPARE(info.rdShop.GetState(), Query::State::Edit);
        QVERIFY(info.HasRow());
        QCOMPARE(info.edtShopNo->text(), QStringLiteral("A001"));
        QCOMPARE(info.edtShopName->text(), QStringLiteral("骏达汽配"));
        QCOMPARE(info.edtAllName->text(), QStringLiteral("广州市骏达汽车配件有限公司"));
        QCOMPARE(info.QQ02->text(), QStringLiteral("1047729361"));
        QVERIFY(info.edtShopNo->isReadOnly());
        QVERIFY(info.edtShopName->isReadOnly());
        for (QLineEdit *e : {info.edtAllName, info.edtLinkPer, info.edtTel, info.edtAddress, info.Per01,
                             info.Tel01, info.QQ01, info.Per02, info.Tel02, info.QQ02})
            QVERIFY(!e->isReadOnly());
        QCOMPARE(info.edtAddress->width(), 400);

        // Focus order down the form, then the buttons.
        const QList<QWidget *> order{info.edtShopNo, info.edtShopName, info.edtAllName, info.edtLinkPer,
                                     info.edtTel,    info.edtAddress,  info.Per01,      info.Tel01,
                                     info.QQ01,      info.Per02,       info.Tel02,      info.QQ02,
                                     info.btnOk,     info.btnCancel};
        for (int i = 0; i + 1 < order.size(); ++i) {
            QWidget *next = order[i]->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus))
                next = next->nextInFocusChain();
            QCOMPARE(next, order[i + 1]);
        }

        ShowActive(&info);
        QCOMPARE(QApplication::focusWidget(), info.edtAllName);
        // Enter and Down move on, Up moves back.
        QTest::keyClick(info.edtAllName, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), info.edtLinkPer);
        QTest::keyClick(info.edtLinkPer, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), info.edtTel);
        QTest::keyClick(info.edtTel, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), info.edtLinkPer);
        GrabToPng(&info, QStringLiteral("frmInfo"));
        QCOMPARE(Messages().Count(), 0);
    }

    void requiredFields_data()
    {
        QTest::addColumn<QStringList>("required"); // new texts of 全称, 代表, 电话, 地址
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focused"); // index into the four
        QTest::newRow("full name blanks only")
            << QStringList{"   ", "陈志强", "020-1", "广州"} << "商户全称不能为空,请检查！" << 0;
        QTest::newRow("representative empty")
            << QStringList{"骏达", "", "020-1", "广州"} << "商户代表不能为空,请检查！" << 1;
        QTest::newRow("telephone blanks only")
            << QStringList{"骏达", "陈志强", "  ", "广州"} << "联系电话不能为空,请检查！" << 2;
        QTest::newRow("address empty")
            << QStringList{"骏达", "陈志强", "020-1", ""} << "联系地址不能为空,请检查！" << 3;
        QTest::newRow("all four empty: only the first")
            << QStringList{"", "", "", ""} << "商户全称不能为空,请检查！" << 0;
    }

    void requiredFields()
    {
        QFETCH(QStringList, required);
        QFETCH(QString, message);
        QFETCH(int, focused);
        FreshDb db;
        const QStringList before = StoredContact(db, QStringLiteral("A001"));
        TfrmInfo info;
        ShowActive(&info);
        const QList<QLineEdit *> edits{info.edtAllName, info.edtLinkPer, info.edtTel, info.edtAddress};
        for (int i = 0; i < edits.size(); ++i)
            Retype(edits[i], required[i]);
        info.btnOkClick();
        QCOMPARE(Messages().Texts(), QStringList{message});
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Info);
        QCOMPARE(QApplication::focusWidget(), edits[focused]);
        QVERIFY(info.isVisible());
        for (int i = 0; i < edits.size(); ++i)
            QCOMPARE(edits[i]->text(), required[i]); // the input stays
        QCOMPARE(info.rdShop.GetState(), Query::State::Edit);
        QCOMPARE(StoredContact(db, QStringLiteral("A001")), before);
    }

    void storesValuesAsTyped()
    {
        FreshDb db;
        TfrmInfo info;
        ShowActive(&info);
        // Only the emptiness tests trim; a double-byte blank is an ordinary character.
        const QStringList typed{"  骏达汽配总公司 ", "陈志强 ", "020-88888888", "　广州白云", "", "139", "",
                                "新业务员",          "",        "123"};
        const QList<QLineEdit *> edits{info.edtAllName, info.edtLinkPer, info.edtTel, info.edtAddress,
                                       info.Per01,      info.Tel01,      info.QQ01,   info.Per02,
                                       info.Tel02,      info.QQ02};
        for (int i = 0; i < edits.size(); ++i)
            Retype(edits[i], typed[i]);
        info.btnOk->click();
        QCOMPARE(Messages().Count(), 0);
        QVERIFY(!info.isVisible());
        QCOMPARE(info.result(), int(QDialog::Accepted));
        QVERIFY(!info.rdShop.Active());
        QCOMPARE(StoredContact(db, QStringLiteral("A001")), typed);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT ShopName FROM Sys_Shop WHERE ShopNo='A001'")).toString(),
                 QStringLiteral("骏达汽配"));
        QCOMPARE(db.Scalar(QStringLiteral("SELECT State FROM Sys_Shop WHERE ShopNo='A001'")).toString(),
                 QStringLiteral("已上线"));
    }

    void okWithoutChangesStoresTheRowUnchanged()
    {
        FreshDb db;
        const QStringList before = StoredContact(db, QStringLiteral("A001"));
        TfrmInfo info;
        ShowActive(&info);
        info.btnOk->click();
        QCOMPARE(Messages().Count(), 0);
        QVERIFY(!info.isVisible());
        QCOMPARE(info.result(), int(QDialog::Accepted));
        QCOMPARE(StoredContact(db, QStringLiteral("A001")), before);
    }

    void cancelDropsEveryChange_data()
    {
        QTest::addColumn<bool>("byEsc");
        QTest::newRow("取消 button") << false;
        QTest::newRow("Esc") << true;
    }

    void cancelDropsEveryChange()
    {
        QFETCH(bool, byEsc);
        FreshDb db;
        const QStringList before = StoredContact(db, QStringLiteral("A001"));
        TfrmInfo info;
        ShowActive(&info);
        Retype(info.edtAllName, QStringLiteral("别的名字"));
        Retype(info.QQ01, QStringLiteral("99999"));
        QCOMPARE(info.rdShop.FieldText(QStringLiteral("AllName")), QStringLiteral("别的名字"));
        if (byEsc)
            QTest::keyClick(info.QQ01, Qt::Key_Escape);
        else
            info.btnCancel->click();
        QVERIFY(!info.isVisible());
        QCOMPARE(info.result(), int(QDialog::Rejected));
        QVERIFY(!info.rdShop.Active());
        QCOMPARE(StoredContact(db, QStringLiteral("A001")), before);
        QCOMPARE(Messages().Count(), 0);
    }

    void fieldWidthsCountGbkBytes()
    {
        FreshDb db;
        TfrmInfo info;
        ShowActive(&info);
        // 业务员 holds 20 bytes: ten Chinese characters, not eleven.
        Retype(info.Per01, QStringLiteral("一二三四五六七八九十"));
        QCOMPARE(info.Per01->text(), QStringLiteral("一二三四五六七八九十"));
        TypeText(info.Per01, QStringLiteral("多"));
        QCOMPARE(info.Per01->text(), QStringLiteral("一二三四五六七八九十"));
        // Text the server's columns can't hold is refused.
        Retype(info.edtLinkPer, QStringLiteral("陈"));
        TypeText(info.edtLinkPer, QStringLiteral("😀"));
        QCOMPARE(info.edtLinkPer->text(), QStringLiteral("陈"));
        info.btnCancel->click();
    }

    void storeThatReachesNoRowIsAnError()
    {
        FreshDb db;
        TfrmInfo info;
        ShowActive(&info);
        Retype(info.edtTel, QStringLiteral("020-1"));
        db.Exec(QStringLiteral("DELETE FROM Sys_Shop WHERE ShopNo='A001'"));
        info.btnOk->click();
        QCOMPARE(Messages().Count(), 1);
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Error);
        QVERIFY(info.isVisible()); // the input stays; cancelling drops it
        QCOMPARE(info.edtTel->text(), QStringLiteral("020-1"));
        info.btnCancel->click();
        QVERIFY(!info.isVisible());
    }

    void missingOwnRowOpensNothingEditable()
    {
        FreshDb db;
        db.Exec(QStringLiteral("DELETE FROM Sys_Shop WHERE ShopNo='A001'"));
        {
            TfrmInfo info;
            QVERIFY(!info.HasRow());
            QVERIFY(!info.btnOk->isEnabled());
            for (QLineEdit *e : info.findChildren<QLineEdit *>())
                QVERIFY(e->isReadOnly());
        }
        QCOMPARE(Messages().Count(), 0);

        // Run from the menu: a clear message, and no dialog.
        bool opened = false;
        QTimer poll;
        poll.setInterval(0);
        connect(&poll, &QTimer::timeout, [&] {
            if (auto *modal = qobject_cast<TfrmInfo *>(QApplication::activeModalWidget())) {
                opened = true;
                modal->btnCancel->click();
            }
        });
        poll.start();
        TfrmInfo::Execute();
        poll.stop();
        QVERIFY(!opened);
        QCOMPARE(Messages().Count(), 1);
        QCOMPARE(Messages().LastKind(), MessagePresenter::Kind::Warn);
        QCOMPARE(Messages().LastText(),
                 QStringLiteral("找不到当前登录商户的资料,该商户可能已被平台删除,无法修改!"));
        QVERIFY(!frmInfo);
    }

    void directoryShowsTheNewContact()
    {
        FreshDb db;
        SetSignedIn(QStringLiteral("A002"), QStringLiteral("01"), QStringLiteral("01,03,04,05,06,"));
        {
            TfrmInfo info;
            ShowActive(&info);
            Retype(info.edtLinkPer, QStringLiteral("王新华"));
            Retype(info.Tel02, QStringLiteral("13600000000"));
            info.btnOk->click();
            QCOMPARE(Messages().Count(), 0);
        }
        TfrmShopAll directory;
        directory.setAttribute(Qt::WA_DeleteOnClose, false);
        QTimer::singleShot(0, [] {
            if (auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
                box->setTextValue(QStringLiteral("王新华"));
                box->accept();
            }
        });
        directory.tbLocateClick();
        QCOMPARE(directory.rdShop.RecordCount(), 1);
        QCOMPARE(directory.rdShop.FieldText(QStringLiteral("ShopNo")), QStringLiteral("A002"));
        QCOMPARE(directory.rdShop.FieldText(QStringLiteral("Tel02")), QStringLiteral("13600000000"));

        // The owner details of A002's stock, as another merchant sees them.
        SetSignedIn(QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("01,03,04,05,06,"));
        TfrmStockInfo owner(QStringLiteral("A002"));
        QCOMPARE(owner.edtLinkPer->text(), QStringLiteral("王新华"));
        QCOMPARE(owner.Tel02->text(), QStringLiteral("13600000000"));
    }
};

QEN_TEST_MAIN(TestInfo)
#include "test_info.moc"
