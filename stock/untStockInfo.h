#pragma once
#include "foundation/db/Query.h"
#include "foundation/ui/untDialog.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The contact details of the merchant that owns a stock row, read-only. The merchant is shown
// whatever its state; one that no longer exists leaves the fields empty.
class TfrmStockInfo : public TDialogBase {
    Q_OBJECT
public:
    explicit TfrmStockInfo(const QString &shopNo, QWidget *parent = nullptr);

    Query rdShop;

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
    QFrame *bvLine;
    QPushButton *btnCancel;

    void FormCreate();
    void btnCancelClick();
    void FormClose();

    void done(int result) override;

private:
    QString m_shopNo;
};

extern TfrmStockInfo *frmStockInfo;
