#pragma once
#include "foundation/ui/untDialog.h"

#include <QSpinBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// Whole numbers within the range; typing is free: a typed value outside the range is pulled to
// the nearer bound, and an empty or non-numeric text becomes the minimum when the box is left.
class TBoundSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
};

// Edits the current merchant of frmShop's list: state, authorised users, login lock. Its controls
// are bound to that list's current row, which the list has put into edit state.
class TfrmShopEdit : public TDialogBase {
    Q_OBJECT
public:
    explicit TfrmShopEdit(QWidget *parent = nullptr);
    ~TfrmShopEdit() override;

    QString OldState; // the merchant's state when the editor opened

    QTabWidget *pcMain;
    QLineEdit *edtShopNo;
    QLineEdit *edtShopName;
    QLineEdit *edtAllName;
    QComboBox *edtState;
    TBoundSpinBox *RzDBSpinEdit1;
    QCheckBox *RzDBCheckBox1;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    void FormCreate();
    void FormShow();
    void btnOkClick();
    void btnCancelClick();
    void FormClose();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
};

extern TfrmShopEdit *frmShopEdit;
