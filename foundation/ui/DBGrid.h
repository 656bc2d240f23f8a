#pragma once
#include "foundation/db/GridModel.h"

#include <QTableView>
#include <QWidget>

class Query;

// A read-only data grid over a Query: a row selector that follows the query's current row,
// column widths and visibility from the column definitions, and an optional footer row.
class TDBGrid : public QWidget {
    Q_OBJECT
public:
    TDBGrid(Query *query, QList<GridColumn> columns, QWidget *parent = nullptr);

    QTableView *View() const { return m_view; }
    GridModel *Model() const { return m_model; }
    void SetFooterVisible(bool visible);
    bool FooterVisible() const;
    void SetColumnVisible(int column, bool visible);
    bool ColumnVisible(int column) const { return !m_view->isColumnHidden(column); }
    // Stretches the columns over the view's width in proportion to their defined widths.
    void SetProportionalWidths(bool on);

signals:
    void DblClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ApplyWidths();
    Query *m_query;
    GridModel *m_model;
    QTableView *m_view;
    QWidget *m_footer;
    bool m_proportional = false;
};
