#pragma once
#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QMap>
#include <functional>

class Query;

// One column of a data grid.
struct GridColumn {
    QString field;
    QString title;
    int width = 80;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool visible = true;
    // Numbers in general format ("%g"-like, no trailing zeros) unless set.
    std::function<QString(const QVariant &)> format;
    Qt::Alignment titleAlignment = Qt::AlignCenter;
};

// A column with its field, title, width and cell alignment (titles centred).
GridColumn MakeColumn(const QString &field, const QString &title, int width,
                      Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

// Colours of one row; invalid colours leave the grid's own.
struct RowColors {
    QColor foreground;
    QColor background;
};

// A read-only table model over a Query's rows, following its changes.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridModel(Query *query, QList<GridColumn> columns, QObject *parent = nullptr);

    Query *GetQuery() const { return m_query; }
    const QList<GridColumn> &Columns() const { return m_columns; }
    GridColumn &Column(int i) { return m_columns[i]; }
    int ColumnOfField(const QString &field) const;

    // Footer texts by column (the grid shows them in a row under the data).
    void SetFooter(int column, const QString &text, Qt::Alignment alignment = Qt::AlignCenter);
    QString Footer(int column) const { return m_footer.value(column).text; }
    Qt::Alignment FooterAlignment(int column) const { return m_footer.value(column).alignment; }

    void SetRowColors(std::function<RowColors(const Query &, int row)> hook)
    {
        m_rowColors = std::move(hook);
    }

    // The text a cell shows.
    QString CellText(int row, int column) const;
    static QString GeneralFormat(const QVariant &value);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void FooterChanged();

private:
    Query *m_query;
    QList<GridColumn> m_columns;
    QList<int> m_fieldIndex; // per column, refreshed when the query resets
    struct FooterCell {
        QString text;
        Qt::Alignment alignment = Qt::AlignCenter;
    };
    QMap<int, FooterCell> m_footer;
    std::function<RowColors(const Query &, int)> m_rowColors;
    void RefreshFieldIndex();
};
