#pragma once
#include "foundation/ui/untDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The signed-in user changes their own password: the current one is checked against the stored
// form, the new one is stored. The sign-in itself is not affected.
class TfrmPassword : public TDialogBase {
    Q_OBJECT
public:
    explicit TfrmPassword(QWidget *parent = nullptr);

    // Runs the dialog modally, held in frmPassword while it is shown.
    static void Execute();

    // The longest password the login dialog takes, in GBK bytes.
    static constexpr int MaxPasswordBytes = 30;

    QLabel *lbTitle;
    QLabel *lbNote;
    QLabel *imgLogo;
    QLineEdit *edtOldPass;
    QLineEdit *edtNewPass;
    QLineEdit *edtConfirm;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    void FormShow();
    void btnOkClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;
};

extern TfrmPassword *frmPassword;
