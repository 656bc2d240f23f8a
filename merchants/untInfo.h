#pragma once
#include "foundation/db/Query.h"
#include "foundation/ui/untDialog.h"

class QLineEdit;
class QPushButton;
class QTabWidget;

// The signed-in merchant's own contact record: full name, representative, telephone, address and
// two sales contacts, which other merchants see in the directory and the stock owner details.
class TfrmInfo : public TDialogBase {
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget *parent = nullptr);
    ~TfrmInfo() override;

    // Runs the dialog modally for the shell's "-frmInfo".
    static void Execute();

    Query rdShop;
    QTabWidget *pcMain;
    QLineEdit *edtShopNo;
    QLineEdit *edtShopName;
    QLineEdit *edtAllName;
    QLineEdit *edtLinkPer;
    QLineEdit *edtTel;
    QLineEdit *edtAddress;
    QLineEdit *Per01;
    QLineEdit *Tel01;
    QLineEdit *QQ01;
    QLineEdit *Per02;
    QLineEdit *Tel02;
    QLineEdit *QQ02;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    void FormCreate();
    void FormShow();
    void btnOkClick();
    void btnCancelClick();
    void FormClose();

    // The merchant's row was read and is open for editing.
    bool HasRow() const;

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void LockInput();
};

extern TfrmInfo *frmInfo;
