#pragma once
#include "foundation/db/Query.h"
#include "foundation/ui/untDialog.h"

class QLabel;
class QRadioButton;
class QToolBar;
class QToolButton;
class TDBGrid;

// The administrator's merchant management: every merchant of the platform, filtered by state and
// coloured by it; edit a merchant's state, authorised users and login lock, or delete it.
class TfrmShop : public TDialogBase {
    Q_OBJECT
public:
    explicit TfrmShop(QWidget *parent = nullptr);
    ~TfrmShop() override;

    // Runs the dialog modally for the shell's "-frmShop".
    static void Execute();

    Query rdShop;
    QToolBar *Toolbar;
    QToolButton *tbEdit;
    QToolButton *tbDel;
    QToolButton *tbExit;
    QLabel *lbShow;
    QRadioButton *rdAll;
    QRadioButton *rdUp;
    QRadioButton *rdOn;
    QRadioButton *rdDown;
    TDBGrid *grdShop;

    void FormCreate();
    void rdAllClick();
    void rdUpClick();
    void rdOnClick();
    void rdDownClick();
    void tbEditClick();
    void tbDelClick();
    void tbExitClick();
    void FormClose();

    // The text colour of a merchant row by its state; invalid for the normal colour.
    static QColor StateColor(const QString &state);

protected:
    void FormKeyDown(int &key, Qt::KeyboardModifiers modifiers) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void LoadList(const QString &statement);
    void ShowCount();
};

extern TfrmShop *frmShop;
