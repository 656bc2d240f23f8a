#pragma once
#include "foundation/ui/untDialog.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The membership application, opened from the sign-in dialog: the merchant's identity and
// contact data and its first administrator's account, submitted through Sp_Sys_Reg. The new
// merchant waits for the platform administrator's review before it can sign in.
class TfrmReg : public TDialogBase {
    Q_OBJECT
public:
    explicit TfrmReg(QWidget *parent = nullptr);

    QFrame *shpBack;
    QLabel *lbMark;
    QLabel *lbInfo;
    QLabel *imgLogo;
    QFrame *spTitle;
    QLineEdit *edtShopNo;
    QLabel *lbShopNoNote;
    QLineEdit *edtShopName;
    QLineEdit *edtAllName;
    QLineEdit *edtLinkPer;
    QLineEdit *edtTel;
    QLineEdit *edtAddress;
    QLineEdit *edtUserNo;
    QLineEdit *edtPassword;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    void btnOkClick();
    void btnCancelClick();
};

extern TfrmReg *frmReg;
