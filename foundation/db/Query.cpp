#include "foundation/db/Query.h"

#include "foundation/db/Connection.h"
#include "foundation/db/DbError.h"
#include "foundation/db/Statement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QString ErrorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) text = error.driverText().trimmed();
    return text;
}

QString LowerName(const QString &name)
{
    return name.toLower();
}

} // namespace

Query::Query(Connection *connection, QObject *parent) : QObject(parent), m_connection(connection) {}

QString Query::EngineText() const
{
    const QString text = StatementText();
    return m_connection->IsEmbedded() ? Statement::AdaptForEmbedded(text) : text;
}

void Query::SetParam(const QString &name, const QString &value)
{
    m_params.insert(LowerName(name), value);
}

void Query::SetParamBool(const QString &name, bool value)
{
    m_params.insert(LowerName(name), QVariant(value));
}

QVariant Query::Param(const QString &name) const
{
    return m_params.value(LowerName(name));
}

QVariant Query::BindValue(const QVariant &v) const
{
    // Flags are 0/1 in the embedded engine; SQL Server takes them as bit.
    if (v.typeId() == QMetaType::Bool && m_connection->IsEmbedded()) return v.toBool() ? 1 : 0;
    if (v.typeId() == QMetaType::QString && v.toString().isNull())
        return QString(QLatin1String("")); // an empty text, never NULL
    return v;
}

QVariantList Query::ParamValues(const QStringList &names) const
{
    QVariantList values;
    for (const QString &name : names) {
        const QString key = LowerName(name);
        if (!m_params.contains(key)) throw DbError(QStringLiteral("参数 %1 未赋值").arg(name));
        values << BindValue(m_params.value(key));
    }
    return values;
}

void Query::Run(const QString &text, const QVariantList &values, bool readRows)
{
    QSqlDatabase db = m_connection->Db();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(text)) throw DbError(ErrorText(q.lastError()));
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) throw DbError(ErrorText(q.lastError()));
    m_rowsAffected = q.numRowsAffected();
    if (!readRows) return;
    const QSqlRecord record = q.record();
    QStringList fields;
    for (int i = 0; i < record.count(); ++i)
        fields << record.fieldName(i);
    std::vector<Row> rows;
    while (q.next()) {
        Row row(fields.size());
        for (int i = 0; i < fields.size(); ++i)
            row[i] = q.value(i);
        rows.push_back(std::move(row));
    }
    if (q.lastError().isValid()) throw DbError(ErrorText(q.lastError()));
    m_fields = fields;
    m_rows = std::move(rows);
}

void Query::Open()
{
    Close();
    const Statement::Positional p = Statement::ToPositional(EngineText());
    Run(p.text, ParamValues(p.names), true);
    m_current = m_rows.empty() ? -1 : 0;
    m_eof = m_rows.empty();
    m_state = State::Browse;
    emit Reset();
    emit StateChanged();
    emit CurrentChanged(m_current);
}

void Query::ExecSQL()
{
    const Statement::Positional p = Statement::ToPositional(EngineText());
    Run(p.text, ParamValues(p.names), false);
}

void Query::Close()
{
    const bool wasActive = Active();
    m_rows.clear();
    m_fields.clear();
    m_current = -1;
    m_eof = true;
    m_state = State::Inactive;
    m_original.clear();
    m_set.clear();
    if (wasActive) {
        emit Reset();
        emit StateChanged();
        emit CurrentChanged(-1);
    }
}

void Query::First()
{
    MoveTo(0);
    m_eof = m_rows.empty();
}

void Query::Next()
{
    if (m_current + 1 < RecordCount())
        MoveTo(m_current + 1);
    else
        m_eof = true;
}

void Query::MoveTo(int row)
{
    if (m_rows.empty()) return;
    row = std::clamp(row, 0, RecordCount() - 1);
    if (row == m_current) return;
    if (m_state == State::Edit || m_state == State::Insert)
        Post(); // leaving a pending row stores it, as a data-bound list does
    m_current = row;
    m_eof = false;
    emit CurrentChanged(m_current);
}

int Query::FieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int Query::RequireField(const QString &name) const
{
    const int i = FieldIndex(name);
    if (i < 0) throw DbError(QStringLiteral("字段 %1 不存在").arg(name));
    return i;
}

QVariant Query::FieldValue(const QString &name) const
{
    const int i = RequireField(name);
    if (m_current < 0) return {};
    return m_rows[m_current][i];
}

QString Query::FieldText(const QString &name) const
{
    const QVariant v = FieldValue(name);
    return v.isNull() ? QString(QLatin1String("")) : v.toString();
}

bool Query::FieldBool(const QString &name) const
{
    return FieldValue(name).toInt() != 0;
}

int Query::FieldInt(const QString &name) const
{
    return FieldValue(name).toInt();
}

double Query::FieldFloat(const QString &name) const
{
    return FieldValue(name).toDouble();
}

QVariant Query::Value(int row, int column) const
{
    if (row < 0 || row >= RecordCount() || column < 0 || column >= m_fields.size()) return {};
    return m_rows[row][column];
}

void Query::SetUpdateTable(const QString &table, const QStringList &keyFields)
{
    m_table = table;
    m_keys = keyFields;
}

void Query::SetState(State s)
{
    if (m_state == s) return;
    m_state = s;
    emit StateChanged();
}

void Query::Edit()
{
    if (m_state == State::Edit || m_state == State::Insert) return;
    if (m_state == State::Inactive || m_current < 0) throw DbError(QStringLiteral("没有可编辑的记录"));
    m_original = m_rows[m_current];
    m_set.assign(m_fields.size(), false);
    SetState(State::Edit);
}

void Query::Append()
{
    if (m_state == State::Inactive) throw DbError(QStringLiteral("数据集未打开"));
    if (m_state == State::Edit || m_state == State::Insert) Post();
    m_rows.push_back(Row(m_fields.size()));
    m_current = RecordCount() - 1;
    m_eof = false;
    m_original = m_rows.back();
    m_set.assign(m_fields.size(), false);
    emit RowInserted(m_current);
    SetState(State::Insert);
    emit CurrentChanged(m_current);
}

void Query::SetField(const QString &name, const QVariant &value)
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw DbError(QStringLiteral("数据集不在编辑状态"));
    const int i = RequireField(name);
    if (m_rows[m_current][i] == value && m_rows[m_current][i].typeId() == value.typeId()) return;
    m_rows[m_current][i] = value;
    m_set[i] = true;
    emit RowChanged(m_current);
}

void Query::ExecWrite(const QString &text, const QVariantList &values, bool mustReachRow)
{
    const Statement::Positional p = Statement::ToPositional(text);
    Run(p.text, values, false);
    if (mustReachRow && m_rowsAffected == 0)
        throw DbError(QStringLiteral("该记录已被其他用户修改或删除，请重新打开后再试"));
}

void Query::Post()
{
    if (m_state != State::Edit && m_state != State::Insert) return;
    if (m_table.isEmpty()) throw DbError(QStringLiteral("数据集没有可写回的数据表"));
    QStringList columns;
    QVariantList values;
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_set[i]) {
            columns << m_fields[i];
            values << BindValue(m_rows[m_current][i]);
        }
    if (m_state == State::Insert) {
        if (columns.isEmpty()) throw DbError(QStringLiteral("新记录没有任何数据"));
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral(":p%1").arg(i);
        ExecWrite(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(m_table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                  values, true);
    } else if (!columns.isEmpty()) {
        QStringList sets;
        for (const QString &c : columns)
            sets << c + QLatin1String("=:v");
        QStringList where;
        for (const QString &key : m_keys) {
            where << key + QLatin1String("=:k");
            values << BindValue(m_original[RequireField(key)]);
        }
        ExecWrite(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                      .arg(m_table, sets.join(QLatin1Char(',')), where.join(QLatin1String(" AND "))),
                  values, true);
    }
    m_original.clear();
    m_set.clear();
    SetState(State::Browse);
}

void Query::Cancel()
{
    const State was = m_state;
    if (was != State::Edit && was != State::Insert)
        return;
    // Leave the editing state before telling anyone: a grid that moves its selection as a row
    // disappears must not post the row being dropped.
    const Row original = std::move(m_original);
    m_original.clear();
    m_set.clear();
    m_state = State::Browse;
    if (was == State::Edit) {
        m_rows[m_current] = original;
        emit RowChanged(m_current);
    } else {
        const int row = m_current;
        m_rows.erase(m_rows.begin() + row);
        m_current = m_rows.empty() ? -1 : std::min(row, RecordCount() - 1);
        m_eof = m_rows.empty();
        emit RowRemoved(row);
        emit CurrentChanged(m_current);
    }
    emit StateChanged();
}

void Query::Delete()
{
    if (m_state == State::Insert) {
        Cancel();
        return;
    }
    if (m_state == State::Edit) Cancel();
    if (m_current < 0) throw DbError(QStringLiteral("没有可删除的记录"));
    if (m_table.isEmpty()) throw DbError(QStringLiteral("数据集没有可写回的数据表"));
    QStringList where;
    QVariantList values;
    for (const QString &key : m_keys) {
        where << key + QLatin1String("=:k");
        values << BindValue(m_rows[m_current][RequireField(key)]);
    }
    ExecWrite(QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_table, where.join(QLatin1String(" AND "))),
              values, true);
    const int row = m_current;
    m_rows.erase(m_rows.begin() + row);
    m_current = m_rows.empty() ? -1 : std::min(row, RecordCount() - 1);
    m_eof = m_rows.empty();
    emit RowRemoved(row);
    emit CurrentChanged(m_current);
}
