#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QToolButton>
#include <functional>

class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QSplitter;
class QTabBar;
class QToolBox;
class QVBoxLayout;
class TUpdater;

// A navigation button: its Hint holds the command string it runs.
class TNavButton : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;
    QString Hint;
    int ImageIndex = -1;
};

// The main window: the desktop (banner, navigation bar, picture), the workspace windows in a
// multi-document area that the desktop covers while shown, and the task tabs at the bottom.
//
// Command strings: "=" + form name opens a workspace window (one per form, with its own tab),
// "-" + form name runs a modal dialog, "DeskTop" shows the desktop. TaskList runs parallel to
// the tabs: entry 0 is "DeskTop", every further entry the command of one open workspace window.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // startUpdater: create and start the automatic updater (the program does; tests don't).
    explicit TfrmMain(bool startUpdater, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // Where the commands lead; tests put windows of their own here.
    std::function<QWidget *(const QString &formName, QWidget *parent)> CreateForm;
    std::function<bool(const QString &formName)> RunDialog;

    QTabBar *tbTask;
    QWidget *plDesktop;
    QWidget *plTop;
    QLabel *imgTool;
    QWidget *plCorp;
    QLabel *lbCorp;
    QSplitter *Splitter;
    QToolBox *OutLookBar;
    QWidget *plBack;
    QLabel *imgDesktop;
    QLineEdit *txtCloseImg;
    QMdiArea *mdiArea;
    TUpdater *Update = nullptr;

    QStringList TaskList;
    bool TabCommandsEnabled = false;

    void FormCreate();
    void FormShow();
    void OpenCommand(const QString &command, const QString &caption);
    void CloseCommand(const QString &formName);
    void CmdDo(QObject *sender);
    void tbTaskChange(int newIndex, bool &allowChange);
    void FormCloseQuery(bool &canClose);

    // The navigation buttons in their order.
    QList<TNavButton *> NavButtons() const;
    // The open workspace window of that form name, or nullptr.
    QWidget *WorkspaceForm(const QString &formName) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct Workspace {
        QString name;
        QPointer<QWidget> form;
        QPointer<QMdiSubWindow> frame;
        bool closing = false;
    };
    const Workspace *FindWorkspace(const QString &formName) const;
    void AddWorkspace(const QString &formName, QWidget *form);
    void FormDestroyed(const QString &formName, QObject *form);
    void AreaActivated(QMdiSubWindow *frame);
    void BuildDesktop();

    QList<Workspace> m_workspaces;
    QVBoxLayout *m_navLayout = nullptr;
    bool m_destroying = false;
};

extern TfrmMain *frmMain;
