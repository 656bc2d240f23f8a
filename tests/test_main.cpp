// The main window: navigation from the permission string, command dispatch, task tabs and the
// exit question. Workspace windows are small windows made here, handed to the main window
// through its factory, and behave as the real ones do: they report their closing.
#include "fixture/Fixture.h"
#include "foundation/db/DbError.h"
#include "foundation/untPublic.h"
#include "shell/Commands.h"
#include "shell/untMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QToolBox>
#include <memory>

namespace {

// A workspace window as the real ones are made: named after its form, deleted on close, and
// reporting its close to the shell.
class TestForm : public QWidget {
public:
    TestForm(const QString &name, QWidget *parent) : QWidget(parent)
    {
        setObjectName(name);
        setAttribute(Qt::WA_DeleteOnClose);
        edit = new QLineEdit(this);
    }
    QLineEdit *edit;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        CloseCommand(objectName());
        event->accept();
    }
};

struct Harness {
    TfrmMain main{false};
    QStringList created;
    QStringList dialogs;
    bool active = false;

    Harness()
    {
        main.CreateForm = [this](const QString &name, QWidget *parent) -> QWidget * {
            if (name != QLatin1String("frmStock") && name != QLatin1String("frmShopAll")) return nullptr;
            created << name;
            return new TestForm(name, parent);
        };
        main.RunDialog = [this](const QString &name) {
            dialogs << name;
            return true;
        };
        main.resize(1000, 700);
        main.show();
        main.activateWindow();
        active = QTest::qWaitForWindowActive(&main);
    }
    TNavButton *Button(const QString &name) const
    {
        for (TNavButton *b : main.NavButtons())
            if (b->objectName() == name) return b;
        return nullptr;
    }
    QStringList Tabs() const
    {
        QStringList tabs;
        for (int i = 0; i < main.tbTask->count(); ++i)
            tabs << main.tbTask->tabText(i);
        return tabs;
    }
    QWidget *Front() const
    {
        QMdiSubWindow *sub = main.mdiArea->activeSubWindow();
        return sub ? sub->widget() : nullptr;
    }
};

// The window, then the frame it leaves behind.
void FlushDeletes()
{
    for (int i = 0; i < 2; ++i)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestMain : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Messages().Clear();
        SetSignedIn(QStringLiteral("A001"), QStringLiteral("01"), QStringLiteral("01,02,03,04,05,06,"));
        SysSet.AllName = QStringLiteral("杭州汽配联盟示范商户有限公司");
    }

    void createdOnTheDesktop()
    {
        Harness h;
        QVERIFY(h.active);
        QCOMPARE(frmMain, &h.main);
        QCOMPARE(h.main.windowTitle(), SysSet.AppTitle);
        QCOMPARE(h.main.lbCorp->text(), SysSet.AllName);
        QCOMPARE(h.main.TaskList, QStringList{QStringLiteral("DeskTop")});
        QCOMPARE(h.Tabs(), QStringList{QStringLiteral("系统桌面")});
        QCOMPARE(h.main.tbTask->currentIndex(), 0);
        QVERIFY(h.main.TabCommandsEnabled);
        QVERIFY(h.main.plDesktop->isVisible());
        QCOMPARE(h.main.OutLookBar->count(), 1);
        QCOMPARE(h.main.OutLookBar->itemText(0), QStringLiteral("业务导航"));
        QCOMPARE(QApplication::focusWidget(), h.main.txtCloseImg);
        QVERIFY(!h.main.imgDesktop->pixmap().isNull()); // the built-in desktop picture
        QCOMPARE(h.main.Update, nullptr);
    }

    // Buttons follow the permission string (substring test on trimmed text, exact case), in
    // table order; the about button is always there.
    void navigationFromPermissions_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("empty") << "" << QStringList{"07"};
        QTest::newRow("blanks") << "   " << QStringList{"07"};
        QTest::newRow("01 and 03") << "01,03," << QStringList{"01", "03", "07"};
        QTest::newRow("out of order, blanks around") << "  06,01, " << QStringList{"01", "06", "07"};
        QTest::newRow("every code") << "01,02,03,04,05,06,"
                                    << QStringList{"01", "02", "03", "04", "05", "06", "07"};
        QTest::newRow("no commas") << "0204" << QStringList{"02", "04", "07"};
        QTest::newRow("single digits") << "1,3," << QStringList{"07"};
        QTest::newRow("unknown code") << "07,99," << QStringList{"07"};
    }

    void navigationFromPermissions()
    {
        QFETCH(QString, action);
        QFETCH(QStringList, buttons);
        SysSet.Action = action;
        Harness h;
        QStringList names;
        for (TNavButton *b : h.main.NavButtons())
            names << b->objectName();
        QCOMPARE(names, buttons);
        // Shown again, the bar is built anew, not doubled.
        h.main.hide();
        h.main.show();
        QCOMPARE(h.main.NavButtons().size(), buttons.size());
    }

    void navigationButtons()
    {
        Harness h;
        struct Row {
            const char *name, *caption, *command;
            int image;
        };
        const Row rows[] = {{"01", "联盟库存", "=frmStock", 13},   {"02", "商户管理", "-frmShop", 0},
                            {"03", "商户大全", "=frmShopAll", 18}, {"04", "信息设置", "-frmInfo", 25},
                            {"05", "用户权限", "-frmAction", 17},  {"06", "修改密码", "-frmPassword", 19},
                            {"07", "关于系统", "-frmAbout", 30}};
        const QList<TNavButton *> buttons = h.main.NavButtons();
        QCOMPARE(buttons.size(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(buttons[i]->objectName(), QString::fromLatin1(rows[i].name));
            QCOMPARE(buttons[i]->text(), QString::fromUtf8(rows[i].caption));
            QCOMPARE(buttons[i]->Hint, QString::fromLatin1(rows[i].command));
            QCOMPARE(buttons[i]->ImageIndex, rows[i].image);
            QVERIFY(!buttons[i]->icon().isNull());
            QCOMPARE(buttons[i]->size(), QSize(100, 80));
        }
    }

    // A second click on an open window's button brings it to the front: no second window, no
    // second tab.
    void openingAnOpenWindowBringsItToTheFront()
    {
        Harness h;
        QVERIFY(h.active);
        QTest::mouseClick(h.Button(QStringLiteral("01")), Qt::LeftButton);
        QCOMPARE(h.created, QStringList{QStringLiteral("frmStock")});
        QCOMPARE(h.Tabs(), (QStringList{QStringLiteral("系统桌面"), QStringLiteral("联盟库存")}));
        QCOMPARE(h.main.TaskList, (QStringList{QStringLiteral("DeskTop"), QStringLiteral("=frmStock")}));
        QCOMPARE(h.main.tbTask->currentIndex(), 1);
        QVERIFY(!h.main.plDesktop->isVisible());
        QWidget *stock = h.main.WorkspaceForm(QStringLiteral("frmStock"));
        QVERIFY(stock && stock->isVisible());
        QCOMPARE(h.Front(), stock);

        // Back to the desktop by its tab; the window stays open behind it.
        h.main.tbTask->setCurrentIndex(0);
        QVERIFY(h.main.plDesktop->isVisible());
        QCOMPARE(QApplication::focusWidget(), h.main.txtCloseImg);
        QVERIFY(h.main.WorkspaceForm(QStringLiteral("frmStock")));

        QTest::mouseClick(h.Button(QStringLiteral("01")), Qt::LeftButton);
        QCOMPARE(h.created.size(), 1);
        QCOMPARE(h.main.tbTask->count(), 2);
        QCOMPARE(h.main.tbTask->currentIndex(), 1);
        QVERIFY(!h.main.plDesktop->isVisible());
        QCOMPARE(h.main.WorkspaceForm(QStringLiteral("frmStock")), stock);
        QVERIFY(stock->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == stock);
        QVERIFY(h.main.TabCommandsEnabled);
    }

    // Tabs ("系统桌面", "联盟库存", "商户大全"): closing the window of tab k shows entry k-1.
    void closingReturnsToTheEntryBefore_data()
    {
        QTest::addColumn<QString>("closing");
        QTest::addColumn<QStringList>("tasks");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("front");
        QTest::newRow("stock browser (tab 1)")
            << "frmStock" << QStringList{"DeskTop", "=frmShopAll"} << 0 << "";
        QTest::newRow("merchant directory (tab 2)")
            << "frmShopAll" << QStringList{"DeskTop", "=frmStock"} << 1 << "frmStock";
    }

    void closingReturnsToTheEntryBefore()
    {
        QFETCH(QString, closing);
        QFETCH(QStringList, tasks);
        QFETCH(int, current);
        QFETCH(QString, front);
        Harness h;
        h.main.CmdDo(h.Button(QStringLiteral("01")));
        h.main.CmdDo(h.Button(QStringLiteral("03")));
        QCOMPARE(h.Tabs(), (QStringList{QStringLiteral("系统桌面"), QStringLiteral("联盟库存"),
                                        QStringLiteral("商户大全")}));
        QCOMPARE(h.main.tbTask->currentIndex(), 2);
        // The user looks at the stock browser when the window closes.
        h.main.tbTask->setCurrentIndex(1);

        QVERIFY(h.main.WorkspaceForm(closing)->close());
        QCOMPARE(h.main.TaskList, tasks);
        QCOMPARE(h.main.tbTask->count(), tasks.size());
        QCOMPARE(h.main.tbTask->currentIndex(), current);
        QCOMPARE(h.main.plDesktop->isVisible(), front.isEmpty());
        if (!front.isEmpty()) QCOMPARE(h.Front()->objectName(), front);
        QVERIFY(h.main.TabCommandsEnabled);
        QCOMPARE(h.main.WorkspaceForm(closing), nullptr);

        // Once gone, the command makes a new window with a new last tab.
        FlushDeletes();
        QCOMPARE(h.main.mdiArea->subWindowList().size(), 1);
        h.main.OpenCommand(QLatin1Char('=') + closing, QStringLiteral("再开"));
        QCOMPARE(h.created.count(closing), 2);
        QCOMPARE(h.main.TaskList.last(), QLatin1Char('=') + closing);
        QCOMPARE(h.Tabs().last(), QStringLiteral("再开"));
        QCOMPARE(h.main.tbTask->currentIndex(), 2);
    }

    // Selecting the selected tab runs nothing; while TabCommandsEnabled is false a tab change
    // runs nothing either.
    void tabChangesRunCommandsOnlyWhenEnabled()
    {
        Harness h;
        h.main.OpenCommand(QStringLiteral("=frmStock"), QStringLiteral("联盟库存"));
        QCOMPARE(h.main.tbTask->currentIndex(), 1);
        // Were the tab's command run again, it would hide the desktop panel shown here.
        h.main.plDesktop->show();
        const QRect tab1 = h.main.tbTask->tabRect(1);
        QTest::mouseClick(h.main.tbTask, Qt::LeftButton, {}, tab1.center());
        QVERIFY(h.main.plDesktop->isVisible());
        h.main.plDesktop->hide();

        h.main.TabCommandsEnabled = false;
        h.main.tbTask->setCurrentIndex(0);
        QVERIFY(!h.main.plDesktop->isVisible());
        h.main.TabCommandsEnabled = true;
        h.main.tbTask->setCurrentIndex(1);
        QVERIFY(!h.main.plDesktop->isVisible());
        QTest::mouseClick(h.main.tbTask, Qt::LeftButton, {}, h.main.tbTask->tabRect(0).center());
        QVERIFY(h.main.plDesktop->isVisible());
        QCOMPARE(h.main.tbTask->currentIndex(), 0);
        QCOMPARE(h.created.size(), 1);
    }

    // "-" commands run their dialog and leave desktop, tabs and focus as they were.
    void modalCommandsLeaveTheDesktop()
    {
        Harness h;
        QVERIFY(h.active);
        for (const char *name : {"02", "04", "05", "06", "07"})
            QTest::mouseClick(h.Button(QString::fromLatin1(name)), Qt::LeftButton);
        QCOMPARE(h.dialogs, (QStringList{"frmShop", "frmInfo", "frmAction", "frmPassword", "frmAbout"}));
        QCOMPARE(h.main.TaskList, QStringList{QStringLiteral("DeskTop")});
        QCOMPARE(h.main.tbTask->count(), 1);
        QVERIFY(h.main.plDesktop->isVisible());
        QCOMPARE(QApplication::focusWidget(), h.main.txtCloseImg);
    }

    // Names without a window open nothing; odd senders and empty hints do nothing.
    void unknownCommandsAndSendersDoNothing()
    {
        Harness h;
        h.main.CreateForm = CreateWorkspaceForm;
        h.main.RunDialog = RunDialogForm;
        h.main.OpenCommand(QStringLiteral("=frmNoSuchWindow"), QStringLiteral("无"));
        h.main.OpenCommand(QStringLiteral("-frmNoSuchDialog"), QString());
        h.main.OpenCommand(QStringLiteral("frmStock"), QString());
        h.main.OpenCommand(QString(), QString());
        TNavButton blank;
        h.main.CmdDo(&blank);
        QLabel other;
        h.main.CmdDo(&other);
        h.main.CmdDo(nullptr);
        QCOMPARE(h.main.TaskList, QStringList{QStringLiteral("DeskTop")});
        QCOMPARE(h.main.tbTask->count(), 1);
        QVERIFY(h.main.plDesktop->isVisible());
        QVERIFY(h.main.TabCommandsEnabled);
        QCOMPARE(h.main.mdiArea->subWindowList().size(), 0);
    }

    // A window that fails while being made is reported; the tabs and the drawing keep working.
    void failingWindowLeavesTheShellWorking()
    {
        Harness h;
        h.main.CreateForm = [](const QString &, QWidget *) -> QWidget * {
            throw DbError(QStringLiteral("无法打开数据集"));
        };
        QTest::mouseClick(h.Button(QStringLiteral("01")), Qt::LeftButton);
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("无法打开数据集.")});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Error);
        QVERIFY(h.main.TabCommandsEnabled);
        QVERIFY(h.main.mdiArea->updatesEnabled());
        QCOMPARE(h.main.TaskList, QStringList{QStringLiteral("DeskTop")});
        QVERIFY(h.main.plDesktop->isVisible());
    }

    void menuItemWithHint()
    {
        Harness h;
        QAction item(QStringLiteral("商户大全"));
        item.setProperty("Hint", QStringLiteral("=frmShopAll"));
        h.main.CmdDo(&item);
        QCOMPARE(h.Tabs().last(), QStringLiteral("商户大全"));
        QCOMPARE(h.main.TaskList.last(), QStringLiteral("=frmShopAll"));
    }

    // Closing a window that has no tab, or twice, changes nothing and the tabs keep working.
    void closeCommandForAnUnknownName()
    {
        Harness h;
        h.main.OpenCommand(QStringLiteral("=frmStock"), QStringLiteral("联盟库存"));
        h.main.CloseCommand(QStringLiteral("frmShopAll"));
        h.main.CloseCommand(QStringLiteral("DeskTop"));
        QCOMPARE(h.main.TaskList, (QStringList{QStringLiteral("DeskTop"), QStringLiteral("=frmStock")}));
        QVERIFY(h.main.TabCommandsEnabled);
        h.main.tbTask->setCurrentIndex(0);
        QVERIFY(h.main.plDesktop->isVisible());
    }

    // A window destroyed without reporting it still loses its tab.
    void windowDestroyedWithoutReport()
    {
        Harness h;
        h.main.OpenCommand(QStringLiteral("=frmStock"), QStringLiteral("联盟库存"));
        std::unique_ptr<QWidget>(h.main.WorkspaceForm(QStringLiteral("frmStock"))).reset();
        QCOMPARE(h.main.TaskList, QStringList{QStringLiteral("DeskTop")});
        QCOMPARE(h.main.tbTask->count(), 1);
        QVERIFY(h.main.plDesktop->isVisible());
    }

    // The multi-document area switches windows by itself on some keys: the selected tab must
    // always be the one of the window in front.
    void documentAreaKeysKeepTabAndWindowTogether_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+Shift+Tab")
            << int(Qt::Key_Backtab) << int(Qt::ControlModifier | Qt::ShiftModifier);
        QTest::newRow("Ctrl+F6") << int(Qt::Key_F6) << int(Qt::ControlModifier);
    }

    void documentAreaKeysKeepTabAndWindowTogether()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Harness h;
        QVERIFY(h.active);
        h.main.OpenCommand(QStringLiteral("=frmStock"), QStringLiteral("联盟库存"));
        h.main.OpenCommand(QStringLiteral("=frmShopAll"), QStringLiteral("商户大全"));
        auto *shopAll = static_cast<TestForm *>(h.main.WorkspaceForm(QStringLiteral("frmShopAll")));
        shopAll->edit->setFocus();
        QTest::keyClick(shopAll->edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTest::qWait(0);
        const QString front = h.Front() ? h.Front()->objectName() : QString();
        QCOMPARE(QStringLiteral("=") + front, h.main.TaskList.at(h.main.tbTask->currentIndex()));
    }

    void exitQuestion()
    {
        Harness h;
        QVERIFY(h.active);
        Messages().answers = {false};
        QVERIFY(!h.main.close());
        QVERIFY(h.main.isVisible());
        QCOMPARE(Messages().Texts(), QStringList{QStringLiteral("您确定要退出本系统吗？")});
        QCOMPARE(Messages().LastKind(), RecordingPresenter::Kind::Ask);
        QCOMPARE(QApplication::focusWidget(), h.main.txtCloseImg);
        QCOMPARE(h.main.TaskList, QStringList{QStringLiteral("DeskTop")});

        Messages().answers = {true};
        QVERIFY(h.main.close());
        QVERIFY(!h.main.isVisible());
    }

    // A "DeskTop.Jpg" beside the executable replaces the built-in desktop picture; a file that
    // is not a picture leaves the built-in one.
    void desktopPictureBesideTheExecutable_data()
    {
        QTest::addColumn<bool>("valid");
        QTest::newRow("picture") << true;
        QTest::newRow("not a picture") << false;
    }

    void desktopPictureBesideTheExecutable()
    {
        QFETCH(bool, valid);
        const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/DeskTop.Jpg");
        QVERIFY(!QFile::exists(path));
        if (valid) {
            QImage picture(64, 48, QImage::Format_RGB32);
            picture.fill(Qt::red);
            QVERIFY(picture.save(path, "JPG"));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a picture");
        }
        QSize shown;
        {
            TfrmMain main(false);
            shown = main.imgDesktop->pixmap().size();
        }
        QFile::remove(path);
        if (valid)
            QCOMPARE(shown, QSize(64, 48));
        else
            QVERIFY(shown.width() > 64);
    }

    void screenshot()
    {
        Harness h;
        h.main.resize(1100, 700);
        QVERIFY(h.active);
        QVERIFY(!QImage(GrabToPng(&h.main, QStringLiteral("desktop"))).isNull());
        h.main.OpenCommand(QStringLiteral("=frmStock"), QStringLiteral("联盟库存"));
        h.main.OpenCommand(QStringLiteral("=frmShopAll"), QStringLiteral("商户大全"));
        QVERIFY(!QImage(GrabToPng(&h.main, QStringLiteral("workspace"))).isNull());
    }
};

QEN_TEST_MAIN(TestMain)
#include "test_main.moc"
