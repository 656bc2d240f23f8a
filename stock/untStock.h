#pragma once
#include "foundation/db/GridModel.h"
#include "foundation/db/Query.h"

#include <QWidget>

class QCloseEvent;
class QToolBar;
class QToolButton;
class TDBGrid;

// The alliance stock browser, a workspace window: the search results of the stock search
// dialog in a read-only grid, the owner's contact details on a double click.
class TfrmStock : public QWidget {
    Q_OBJECT
public:
    explicit TfrmStock(QWidget *parent = nullptr);
    ~TfrmStock() override;

    // Closed until the first search writes its statement into it and opens it.
    Query rdStock;

    QToolBar *Toobar;
    QToolButton *tbLocate;
    QToolButton *tbExit;
    TDBGrid *grdStock;

    static QList<GridColumn> Columns();

    void tbLocateClick();
    void tbExitClick();
    void grdStockDblClick();
    void FormKeyDown(int &key, Qt::KeyboardModifiers modifiers);
    void FormClose();

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern TfrmStock *frmStock;
