#pragma once
#include "foundation/db/Query.h"
#include "foundation/ui/untDialog.h"

class QCheckBox;
class QPushButton;
class QTabWidget;
class TDBGrid;

// Users, permissions and login hosts of the signed-in merchant: the user list with add, edit and
// delete, and the computers that have signed in with the merchant-wide login lock.
class TfrmAction : public TDialogBase {
    Q_OBJECT
public:
    explicit TfrmAction(QWidget *parent = nullptr);
    ~TfrmAction() override;

    // Runs the dialog modally, held in frmAction while it is shown.
    static void Execute();

    // The user list; the user editor's controls are bound to its current row.
    Query rdUser;
    Query rdLogin;

    QTabWidget *pgEdit;
    QWidget *tbUser;
    QWidget *tbLogin;
    TDBGrid *grdUser;
    TDBGrid *grdLogin;
    QCheckBox *chkLocked;
    QPushButton *btnAdd;
    QPushButton *btnEdit;
    QPushButton *btnDel;
    QPushButton *btnCancel;

    void FormCreate();
    void FormClose();
    void pgEditChange();
    void chkLockedClick();
    void btnAddClick();
    void btnEditClick();
    void btnDelClick();
    void grdLoginDblClick();
    void btnCancelClick();

    // Whether a user number names the signed-in user as the database identifies users: letter
    // case and trailing blanks don't count.
    static bool IsSignedInUser(const QString &userNo);

    // Drops or undoes the pending user row (the user editor's close).
    void CancelUser();

    void done(int result) override;

private:
    void RunEditor(const QString &mode);
};

extern TfrmAction *frmAction;
