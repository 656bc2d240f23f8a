#pragma once
#include "foundation/ui/untDialog.h"
#include "stock/StockQuery.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class Query;

// The stock search dialog: up to four conditions and a sort order, run on the stock browser's
// query. Enter in a condition edit moves on and searches; a successful search closes the dialog.
class TfrmStockFind : public TDialogBase {
    Q_OBJECT
public:
    // stock: the query of the browser that opens the dialog; the search replaces its rows.
    explicit TfrmStockFind(Query *stock, QWidget *parent = nullptr);
    ~TfrmStockFind() override;

    QLabel *lbGoodsNo;
    QLineEdit *edtGoodsNo;
    QLabel *lbModel;
    QLineEdit *edtModel;
    QLabel *lbBase;
    QLineEdit *edtBase;
    QLabel *lbFactory;
    QLineEdit *edtFactory;
    QLabel *lbOrder;
    QComboBox *edtOrder;
    QFrame *bvLine;
    QPushButton *btnOk;
    QPushButton *btnCancel;

    StockConditions Conditions() const;

    // Trigger 0 is the OK button, anything else the Enter key: only the button reports
    // empty conditions.
    void RunSearch(int Trigger);
    void btnOkClick();
    void btnCancelClick();
    void edtGoodsNoKeyDown(int &key); // shared by the four condition edits
    void edtOrderChange();
    void FormShow();

protected:
    void showEvent(QShowEvent *event) override;

private:
    Query *m_stock;
};

extern TfrmStockFind *frmStockFind;
