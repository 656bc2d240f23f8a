#include "shell/untMain.h"

#include "foundation/ui/untDialog.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untPublic.h"
#include "shell/Commands.h"
#include "shell/Pictures.h"
#include "shell/untUpdater.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGraphicsDropShadowEffect>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTabBar>
#include <QToolBox>
#include <QVBoxLayout>
#include <memory>

TfrmMain *frmMain = nullptr;

namespace {

struct NavEntry {
    const char *code; // permission code; nullptr: always present
    const char *name;
    const char *caption;
    int imageIndex;
    const char *command;
};

const NavEntry kNavigation[] = {
    {"01", "01", "联盟库存", 13, "=frmStock"},    {"02", "02", "商户管理", 0, "-frmShop"},
    {"03", "03", "商户大全", 18, "=frmShopAll"},  {"04", "04", "信息设置", 25, "-frmInfo"},
    {"05", "05", "用户权限", 17, "-frmAction"},   {"06", "06", "修改密码", 19, "-frmPassword"},
    {nullptr, "07", "关于系统", 30, "-frmAbout"},
};

const QString kDesktop = QStringLiteral("DeskTop");

// Suspends drawing of the workspace area for a command and repaints it, with all its windows,
// once at the end, whichever way the command ends.
class RedrawSuspension {
public:
    explicit RedrawSuspension(QWidget *area) : m_area(area), m_wasEnabled(area->updatesEnabled())
    {
        m_area->setUpdatesEnabled(false);
    }
    ~RedrawSuspension()
    {
        if (m_wasEnabled && m_area) m_area->setUpdatesEnabled(true); // repaints it and its children
    }

private:
    QPointer<QWidget> m_area;
    bool m_wasEnabled;
};

QFont SongFont(int pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

TfrmMain::TfrmMain(bool startUpdater, QWidget *parent)
    : QMainWindow(parent), CreateForm(CreateWorkspaceForm), RunDialog(RunDialogForm)
{
    setObjectName(QStringLiteral("frmMain"));
    frmMain = this;
    setFont(SongFont(12));
    // The maximised size also where no window manager maximises it.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
    BuildDesktop();
    Guard([this] { FormCreate(); });
    if (startUpdater) {
        Update = new TUpdater(this);
        Update->Start();
    }
}

TfrmMain::~TfrmMain()
{
    m_destroying = true;
    if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::BuildDesktop()
{
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The desktop panel and the workspace area share one cell; the panel covers the area while shown.
    auto *work = new QWidget(central);
    auto *cell = new QGridLayout(work);
    cell->setContentsMargins(0, 0, 0, 0);
    mdiArea = new QMdiArea(work);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    cell->addWidget(mdiArea, 0, 0);
    connect(mdiArea, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow *frame) { Guard([&] { AreaActivated(frame); }); });

    plDesktop = new QWidget(work);
    plDesktop->setObjectName(QStringLiteral("plDesktop"));
    cell->addWidget(plDesktop, 0, 0);
    plDesktop->raise();
    auto *desk = new QVBoxLayout(plDesktop);
    desk->setContentsMargins(0, 0, 0, 0);
    desk->setSpacing(0);

    plTop = new QWidget(plDesktop);
    plTop->setObjectName(QStringLiteral("plTop"));
    plTop->setFixedHeight(75);
    imgTool = new QLabel(plTop);
    imgTool->setObjectName(QStringLiteral("imgTool"));
    imgTool->setScaledContents(true);
    imgTool->setPixmap(BannerPicture());
    auto *topLayout = new QGridLayout(plTop);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(imgTool, 0, 0);
    plCorp = new QWidget(imgTool);
    plCorp->setObjectName(QStringLiteral("plCorp"));
    plCorp->setGeometry(3, 20, 1000, 32);
    plCorp->setAttribute(Qt::WA_TranslucentBackground);
    lbCorp = new QLabel(plCorp);
    lbCorp->setObjectName(QStringLiteral("lbCorp"));
    lbCorp->setFont(DialogFont(27, true));
    lbCorp->setGeometry(0, -4, 1000, 40);
    QPalette corp = lbCorp->palette();
    corp.setColor(QPalette::WindowText, QColor(51, 51, 153));
    lbCorp->setPalette(corp);
    auto *raised = new QGraphicsDropShadowEffect(lbCorp); // the raised look: a light edge below right
    raised->setColor(Qt::white);
    raised->setOffset(1.5, 1.5);
    raised->setBlurRadius(0);
    lbCorp->setGraphicsEffect(raised);
    desk->addWidget(plTop);

    Splitter = new QSplitter(Qt::Horizontal, plDesktop);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(7);
    Splitter->setOpaqueResize(true);
    Splitter->setChildrenCollapsible(true);
    Splitter->setStyleSheet(QStringLiteral("QSplitter { background: rgb(247,246,245); }"
                                           "QSplitter::handle { background: rgb(247,246,245);"
                                           " border-left: 1px solid rgb(160,160,160);"
                                           " border-right: 1px solid white; }"));
    OutLookBar = new QToolBox(Splitter);
    OutLookBar->setObjectName(QStringLiteral("OutLookBar"));
    OutLookBar->setFont(DialogFont(14));
    OutLookBar->setStyleSheet(QStringLiteral(
        "QToolBox#OutLookBar { background: rgb(247,246,245); border: 5px solid rgb(247,246,245); }"
        "QToolBox#OutLookBar::tab { font-family: '微软雅黑', 'Microsoft YaHei', 'Noto Sans CJK SC';"
        " font-size: 14px; color: rgb(30,40,70); border: 1px solid rgb(140,160,190);"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 rgb(250,250,252), stop:1 "
        "rgb(205,215,232)); }"
        "QScrollArea#NavScroll, QWidget#NavPage { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 rgb(84,128,190), stop:1 rgb(36,76,140)); border: none; }"
        "QToolButton { color: white; background: transparent; border: 1px solid transparent;"
        " border-radius: 4px; font-family: '微软雅黑', 'Microsoft YaHei', 'Noto Sans CJK SC'; font-size: "
        "14px; }"
        "QToolButton:hover { background: rgba(255,255,255,40); border: 1px solid rgba(255,255,255,110); }"
        "QToolButton:pressed { background: rgba(0,0,40,60); }"));
    Splitter->addWidget(OutLookBar);

    plBack = new QWidget(Splitter);
    plBack->setObjectName(QStringLiteral("plBack"));
    plBack->setAutoFillBackground(true);
    QPalette back = plBack->palette();
    back.setColor(QPalette::Window, QColor(56, 107, 165));
    plBack->setPalette(back);
    auto *backLayout = new QGridLayout(plBack);
    backLayout->setContentsMargins(0, 0, 0, 0);
    imgDesktop = new QLabel(plBack);
    imgDesktop->setObjectName(QStringLiteral("imgDesktop"));
    imgDesktop->setScaledContents(true);
    imgDesktop->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    backLayout->addWidget(imgDesktop, 0, 0);
    Splitter->addWidget(plBack);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({200, 800});
    desk->addWidget(Splitter, 1);

    // Holds the focus while the desktop is shown, so that no visible control has it.
    txtCloseImg = new QLineEdit(plDesktop);
    txtCloseImg->setObjectName(QStringLiteral("txtCloseImg"));
    txtCloseImg->setGeometry(-50, 0, 20, 20);
    txtCloseImg->setFocusPolicy(Qt::ClickFocus);
    txtCloseImg->setAttribute(Qt::WA_InputMethodEnabled, false);

    column->addWidget(work, 1);

    tbTask = new QTabBar(central);
    tbTask->setObjectName(QStringLiteral("tbTask"));
    tbTask->setShape(QTabBar::RoundedSouth);
    tbTask->setFont(DialogFont(14));
    tbTask->setExpanding(false);
    tbTask->setDrawBase(true);
    tbTask->setFocusPolicy(Qt::NoFocus);
    tbTask->setStyleSheet(QStringLiteral("QTabBar::tab { height: 25px; padding: 0 14px; }"));
    column->addWidget(tbTask);

    setCentralWidget(central);
}

void TfrmMain::FormCreate()
{
    setWindowTitle(SysSet.AppTitle);
    TabCommandsEnabled = true;
    TaskList.clear();
    TaskList.append(kDesktop);
    tbTask->addTab(QStringLiteral("系统桌面"));
    tbTask->setCurrentIndex(0);
    connect(tbTask, &QTabBar::currentChanged, this, [this](int index) {
        Guard([&] {
            bool allow = true;
            tbTaskChange(index, allow);
        });
    });
    lbCorp->setText(SysSet.AllName);

    imgDesktop->setPixmap(DefaultDesktopPicture());
    const QString own = QCoreApplication::applicationDirPath() + QStringLiteral("/DeskTop.Jpg");
    if (QFile::exists(own)) {
        const QPixmap picture(own);
        if (!picture.isNull()) imgDesktop->setPixmap(picture); // an unreadable file keeps the default
    }
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) Guard([this] { FormShow(); });
}

void TfrmMain::FormShow()
{
    while (OutLookBar->count() > 0) {
        const std::unique_ptr<QWidget> page(OutLookBar->widget(0)); // the bar doesn't delete it
        OutLookBar->removeItem(0);
    }
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("NavScroll"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("NavPage"));
    m_navLayout = new QVBoxLayout(page);
    m_navLayout->setContentsMargins(5, 5, 5, 5);
    m_navLayout->setSpacing(4);
    scroll->setWidget(page);
    OutLookBar->addItem(scroll, QStringLiteral("业务导航"));
    OutLookBar->setCurrentIndex(0);

    for (const NavEntry &entry : kNavigation) {
        if (entry.code && !ContainsText(SysSet.Action, QString::fromLatin1(entry.code), true)) continue;
        auto *button = new TNavButton(page);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setText(QString::fromUtf8(entry.caption));
        button->Hint = QString::fromLatin1(entry.command);
        button->ImageIndex = entry.imageIndex;
        button->setIcon(LargeImage(entry.imageIndex));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFixedSize(100, 80);
        button->setCursor(Qt::PointingHandCursor);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, button] { Guard([&] { CmdDo(button); }); });
        m_navLayout->addWidget(button, 0, Qt::AlignHCenter);
    }
    m_navLayout->addStretch(1);
    if (tbTask->currentIndex() == 0) txtCloseImg->setFocus();
}

QList<TNavButton *> TfrmMain::NavButtons() const
{
    QList<TNavButton *> buttons;
    if (!m_navLayout) return buttons;
    for (int i = 0; i < m_navLayout->count(); ++i)
        if (auto *b = qobject_cast<TNavButton *>(m_navLayout->itemAt(i)->widget())) buttons << b;
    return buttons;
}

const TfrmMain::Workspace *TfrmMain::FindWorkspace(const QString &formName) const
{
    for (const Workspace &w : m_workspaces)
        if (w.form && !w.closing && w.name == formName) return &w;
    return nullptr;
}

QWidget *TfrmMain::WorkspaceForm(const QString &formName) const
{
    const Workspace *w = FindWorkspace(formName);
    return w ? w->form.data() : nullptr;
}

void TfrmMain::AddWorkspace(const QString &formName, QWidget *form)
{
    QMdiSubWindow *frame = mdiArea->addSubWindow(form, Qt::SubWindow | Qt::FramelessWindowHint);
    frame->setSystemMenu(nullptr);
    m_workspaces.append({formName, form, frame, false});
    connect(form, &QObject::destroyed, this,
            [this, formName](QObject *gone) { FormDestroyed(formName, gone); });
    frame->showMaximized();
    mdiArea->setActiveSubWindow(frame);
}

// A workspace window is gone: drop its frame, and its tab should it not have said so itself.
void TfrmMain::FormDestroyed(const QString &formName, QObject *form)
{
    if (m_destroying) return;
    bool reported = true;
    for (int i = 0; i < m_workspaces.size(); ++i) {
        Workspace &w = m_workspaces[i];
        if (w.form && w.form != form) continue;
        reported = w.closing;
        if (w.frame) w.frame->deleteLater();
        m_workspaces.removeAt(i);
        break;
    }
    if (!reported && TaskList.contains(QLatin1Char('=') + formName)) CloseCommand(formName);
}

// The area switches windows by itself on Ctrl+Tab and Ctrl+Shift+Tab: the tab follows, as if
// the user had chosen it. Activations while a command runs or on the desktop are the shell's own.
void TfrmMain::AreaActivated(QMdiSubWindow *frame)
{
    if (!frame || !TabCommandsEnabled || tbTask->currentIndex() <= 0) return;
    for (const Workspace &w : m_workspaces)
        if (w.frame == frame && w.form && !w.closing) {
            const QString command = QLatin1Char('=') + w.name;
            if (TaskList.indexOf(command) != tbTask->currentIndex()) OpenCommand(command, QString());
            return;
        }
}

void TfrmMain::OpenCommand(const QString &command, const QString &caption)
{
    TabCommandsEnabled = false;
    RedrawSuspension suspended(mdiArea);
    // Also when creating or showing a window fails: the tabs must keep working afterwards.
    struct Reenable {
        bool &flag;
        ~Reenable() { flag = true; }
    } reenable{TabCommandsEnabled};

    const QChar kind = command.isEmpty() ? QChar() : command.front();
    const QString name = command.mid(1);

    if (kind == QLatin1Char('=')) {
        if (const Workspace *w = FindWorkspace(name)) {
            plDesktop->hide();
            w->frame->showMaximized();
            w->frame->setVisible(true);
            mdiArea->setActiveSubWindow(w->frame);
            w->frame->raise();
            if (!w->form->isAncestorOf(QApplication::focusWidget())) w->form->setFocus();
            tbTask->setCurrentIndex(TaskList.indexOf(command));
            return;
        }
        if (QWidget *form = CreateForm(name, this)) {
            AddWorkspace(name, form);
            TaskList.append(command);
            tbTask->addTab(caption);
            tbTask->setCurrentIndex(tbTask->count() - 1);
        }
    } else if (kind == QLatin1Char('-')) {
        RunDialog(name);
    }

    if (command == kDesktop) {
        plDesktop->show();
        tbTask->setCurrentIndex(0);
        txtCloseImg->setFocus();
        return;
    }
    if (kind == QLatin1Char('=') && tbTask->count() > 1) plDesktop->hide();
    if (tbTask->currentIndex() == 0) txtCloseImg->setFocus();
}

void TfrmMain::CloseCommand(const QString &formName)
{
    TabCommandsEnabled = false;
    const int i = TaskList.indexOf(QLatin1Char('=') + formName);
    if (i <= 0) {
        TabCommandsEnabled = true; // nothing to drop: the tabs keep working
        return;
    }
    for (Workspace &w : m_workspaces)
        if (w.name == formName && !w.closing) {
            // The window is on its way out: never bring it back, and hide its frame at once.
            w.closing = true;
            if (w.frame) w.frame->hide();
            break;
        }
    TaskList.removeAt(i);
    tbTask->removeTab(i);
    OpenCommand(TaskList.at(i - 1), QString());
}

void TfrmMain::CmdDo(QObject *sender)
{
    if (auto *button = qobject_cast<TNavButton *>(sender)) {
        if (!button->Hint.isEmpty()) OpenCommand(button->Hint, button->text());
    } else if (auto *item = qobject_cast<QAction *>(sender)) {
        const QString hint = item->property("Hint").toString();
        if (!hint.isEmpty()) OpenCommand(hint, item->text());
    }
}

void TfrmMain::tbTaskChange(int newIndex, bool &allowChange)
{
    allowChange = true;
    if (TabCommandsEnabled && newIndex >= 0 && newIndex < TaskList.size())
        OpenCommand(TaskList.at(newIndex), QString());
}

void TfrmMain::FormCloseQuery(bool &canClose)
{
    canClose = MsgAsk(QStringLiteral("您确定要退出本系统吗？"));
    if (tbTask->currentIndex() == 0) txtCloseImg->setFocus();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    bool canClose = false;
    Guard([&] { FormCloseQuery(canClose); });
    if (canClose)
        event->accept();
    else
        event->ignore();
}
