#pragma once
#include "foundation/db/Query.h"

#include <QWidget>

class QCloseEvent;
class QToolBar;
class QToolButton;
class TDBGrid;

// The member directory: every online merchant with its contact people, read-only, with a quick
// search over eight columns. A workspace window of the main window.
class TfrmShopAll : public QWidget {
    Q_OBJECT
public:
    explicit TfrmShopAll(QWidget *parent = nullptr);
    ~TfrmShopAll() override;

    Query rdShop;
    QToolBar *Toobar;
    QToolButton *tbLocate;
    QToolButton *tbExit;
    TDBGrid *grdShop;

    void FormCreate();
    void tbLocateClick();
    void tbExitClick();
    void FormKeyDown(int &key, Qt::KeyboardModifiers modifiers);
    void FormClose();

    // The quick search's input box; false when the user cancels. Starts empty every time.
    static bool AskSearchText(QWidget *parent, QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void ShowCount();
};

extern TfrmShopAll *frmShopAll;
