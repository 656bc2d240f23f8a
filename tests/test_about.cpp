// The about box: its texts and its keys.
#include "fixture/Fixture.h"
#include "foundation/untPublic.h"
#include "shell/Commands.h"
#include "shell/untAbout.h"
#include "shell/untUpdater.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void init() { Messages().Clear(); }

    void texts()
    {
        TfrmAbout about;
        QCOMPARE(about.windowTitle(), QStringLiteral("关于") + SysSet.AppTitle);
        QVERIFY(!SysSet.AppTitle.isEmpty());
        QCOMPARE(about.lbSoftName->text(), SysSet.AppTitle);
        QCOMPARE(about.lbVer->text(), QStringLiteral("版本：1.1.Beta"));
        QCOMPARE(about.lbVer->text(), QStringLiteral("版本：") + TUpdater::VersionNumber);

        // The current year comes directly before the company name.
        const QString rights = about.lbRights->text();
        const QString yearAndCompany = QString::number(QDate::currentDate().year()) + SysSet.CompanyName;
        QVERIFY2(rights.contains(yearAndCompany), qPrintable(rights));
        QVERIFY(rights.startsWith(QStringLiteral("Copyright (C) 2017-")));
        QVERIFY(!about.lbAlert->text().isEmpty());
        QCOMPARE(Messages().Count(), 0);
    }

    void rightsLineUsesTheYearGiven_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2017") << QDate(2017, 8, 14) << "Copyright (C) 2017-2017甲公司 保留所有权利。";
        QTest::newRow("new year's eve")
            << QDate(2030, 12, 31) << "Copyright (C) 2017-2030甲公司 保留所有权利。";
    }

    void rightsLineUsesTheYearGiven()
    {
        QFETCH(QDate, today);
        QFETCH(QString, expected);
        QCOMPARE(TfrmAbout::RightsLine(today, QStringLiteral("甲公司")), expected);
    }

    void layout()
    {
        TfrmAbout about;
        QCOMPARE(about.size(), QSize(392, 153));
        QCOMPARE(about.btnOk->geometry().topLeft(), QPoint(309, 125));
        QCOMPARE(about.lbVer->pos(), QPoint(62, 30));
        QCOMPARE(about.lbAlert->geometry(), QRect(8, 81, 372, 51));
        QVERIFY(about.windowFlags() & Qt::WindowContextHelpButtonHint);
    }

    void keysClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }

    void keysClose()
    {
        QFETCH(int, key);
        TfrmAbout about;
        about.show();
        about.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QCOMPARE(QApplication::focusWidget(), about.btnOk);
        QSignalSpy finished(&about, &QDialog::finished);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!about.isVisible());
    }

    void enterClosesWhereverTheFocusIs()
    {
        TfrmAbout about;
        about.show();
        about.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        about.setFocus();
        QSignalSpy finished(&about, &QDialog::finished);
        QTest::keyClick(&about, Qt::Key_Return);
        QCOMPARE(finished.count(), 1);
    }

    void okButtonCloses()
    {
        TfrmAbout about;
        about.show();
        QSignalSpy finished(&about, &QDialog::finished);
        QTest::mouseClick(about.btnOk, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
    }

    void aboutCommandRunsTheBoxModally()
    {
        // The navigation entry's command: the box is held in frmAbout while open, Esc ends it.
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            seen = frmAbout && QApplication::activeModalWidget() == frmAbout;
            if (frmAbout)
                QTest::keyClick(frmAbout, Qt::Key_Escape);
        });
        QVERIFY(RunDialogForm(QStringLiteral("frmAbout")));
        QVERIFY(seen);
        QCOMPARE(frmAbout, nullptr);
    }
};

QEN_TEST_MAIN(TestAbout)
#include "test_about.moc"
