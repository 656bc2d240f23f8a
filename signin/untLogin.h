#pragma once
#include "foundation/ui/untDialog.h"

#include <QLabel>

class QFrame;
class QLineEdit;
class QPushButton;

// A label that acts as a link: blue, hand cursor, clicked on a left-button release over it.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// The sign-in dialog: merchant number, user number and password, decided by Sp_Sys_Login. On
// success SysSet holds the new identity, the numbers are remembered and SysSet.LoginOk is set.
class TfrmLogin : public TDialogBase {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget *parent = nullptr);

    QFrame *shpBack;
    QLabel *lbMark;
    QLabel *lbInfo;
    QLabel *imgLogo;
    QFrame *spTitle;
    QLabel *Label1;
    QLineEdit *edtShopNo;
    TLinkLabel *Label4;
    QLabel *Label2;
    QLineEdit *edtUserNo;
    QLabel *Label3;
    QLineEdit *edtPassword;
    QPushButton *btnOk;
    QPushButton *btnCancel;
    QLabel *lbRights;

    void FormShow();
    void btnOkClick();
    void btnCancelClick();
    void Label4Click();

protected:
    void showEvent(QShowEvent *event) override;
};

extern TfrmLogin *frmLogin;

// Whether the RunState output of a sign-in or sign-up procedure reports success: exactly "0"
// once trimmed. Any other text is the server's reason for refusing.
bool RunStateAccepted(const QString &runState);

// Start-up's sign-in: runs the dialog modally (held in frmLogin while shown) and returns
// SysSet.LoginOk.
bool RunLogin();
