#include "foundation/db/GridModel.h"

#include "foundation/db/Query.h"

GridColumn MakeColumn(const QString &field, const QString &title, int width, Qt::Alignment alignment)
{
    GridColumn column;
    column.field = field;
    column.title = title;
    column.width = width;
    column.alignment = alignment;
    return column;
}

GridModel::GridModel(Query *query, QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_query(query), m_columns(std::move(columns))
{
    RefreshFieldIndex();
    connect(query, &Query::Reset, this, [this] {
        beginResetModel();
        RefreshFieldIndex();
        endResetModel();
    });
    connect(query, &Query::RowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
    connect(query, &Query::RowInserted, this, [this](int row) {
        beginInsertRows({}, row, row);
        endInsertRows();
    });
    connect(query, &Query::RowRemoved, this, [this](int row) {
        beginRemoveRows({}, row, row);
        endRemoveRows();
    });
}

void GridModel::RefreshFieldIndex()
{
    m_fieldIndex.clear();
    for (const GridColumn &c : m_columns)
        m_fieldIndex << m_query->FieldIndex(c.field);
}

int GridModel::ColumnOfField(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void GridModel::SetFooter(int column, const QString &text, Qt::Alignment alignment)
{
    m_footer[column] = {text, alignment};
    emit FooterChanged();
}

QString GridModel::GeneralFormat(const QVariant &value)
{
    if (value.isNull()) return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

QString GridModel::CellText(int row, int column) const
{
    if (column < 0 || column >= m_columns.size()) return {};
    const QVariant v = m_query->Value(row, m_fieldIndex.value(column, -1));
    const GridColumn &c = m_columns[column];
    return c.format ? c.format(v) : GeneralFormat(v);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_query->RecordCount();
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_columns[index.column()].alignment);
    case Qt::ForegroundRole:
    case Qt::BackgroundRole:
        if (m_rowColors) {
            const RowColors colors = m_rowColors(*m_query, index.row());
            const QColor &c = role == Qt::ForegroundRole ? colors.foreground : colors.background;
            if (c.isValid()) return c;
        }
        return {};
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size()) return {};
    if (role == Qt::DisplayRole) return m_columns[section].title;
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(m_columns[section].titleAlignment);
    return {};
}
