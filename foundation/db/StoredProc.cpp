#include "foundation/db/StoredProc.h"

#include "foundation/db/Connection.h"
#include "foundation/db/DbError.h"
#include "server/embedded/EmbeddedServer.h"

#include <QMap>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString ErrorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) text = error.driverText().trimmed();
    return text;
}

// COLUMN_TYPE values of sp_sproc_columns: 5 is the procedure's return value.
constexpr int kReturnValue = 5;
// Room for the longest output text (a refusal reason or a full name).
constexpr int kOutputWidth = 255;

} // namespace

StoredProc::Param *StoredProc::Find(const QString &name)
{
    for (Param &p : m_params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) return &p;
    return nullptr;
}

void StoredProc::SetParam(const QString &name, const QString &value, Direction direction)
{
    if (Param *p = Find(name)) {
        p->value = value;
        p->direction = direction;
        return;
    }
    m_params.append({name, direction, value});
}

QString StoredProc::ParamText(const QString &name) const
{
    for (const Param &p : m_params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p.value.isNull() ? QString(QLatin1String("")) : p.value;
    throw DbError(QStringLiteral("参数 %1 不存在").arg(name));
}

void StoredProc::ExecProc()
{
    if (m_connection->IsEmbedded())
        ExecEmbedded();
    else
        ExecOnServer();
}

void StoredProc::ExecEmbedded()
{
    if (!EmbeddedServer::HasProcedure(StoredProcName))
        throw DbError(QStringLiteral("找不到存储过程 '%1'").arg(StoredProcName));
    QSqlDatabase db = m_connection->Db();
    QMap<QString, QString> values;
    for (const Param &p : m_params)
        values.insert(p.name, p.value);
    EmbeddedServer::RunProcedure(db, StoredProcName, values);
    for (Param &p : m_params)
        if (p.direction == Direction::InOut)
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                if (it.key().compare(p.name, Qt::CaseInsensitive) == 0) p.value = it.value();
}

QString StoredProc::CallText(const QString &procedure, int parameterCount)
{
    QStringList marks;
    for (int i = 0; i < parameterCount; ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("{CALL %1(%2)}").arg(procedure, marks.join(QLatin1Char(',')));
}

QStringList StoredProc::OrderFromCatalogue(const QList<QPair<QString, int>> &columns)
{
    QStringList names;
    for (const auto &[name, type] : columns) {
        if (type == kReturnValue) continue;
        names << (name.startsWith(QLatin1Char('@')) ? name.mid(1) : name);
    }
    return names;
}

void StoredProc::ExecOnServer()
{
    QSqlDatabase db = m_connection->Db();

    // The server declares the order; an existing database may differ from ours.
    QSqlQuery catalogue(db);
    catalogue.setForwardOnly(true);
    if (!catalogue.prepare(QStringLiteral("{CALL sp_sproc_columns(?)}")))
        throw DbError(ErrorText(catalogue.lastError()));
    catalogue.bindValue(0, StoredProcName);
    if (!catalogue.exec()) throw DbError(ErrorText(catalogue.lastError()));
    QList<QPair<QString, int>> columns;
    while (catalogue.next())
        columns.append({catalogue.value(3).toString(), catalogue.value(4).toInt()});
    catalogue.finish();
    const QStringList order = OrderFromCatalogue(columns);
    if (order.isEmpty()) throw DbError(QStringLiteral("找不到存储过程 '%1'").arg(StoredProcName));

    QSqlQuery call(db);
    call.setForwardOnly(true);
    if (!call.prepare(CallText(StoredProcName, order.size()))) throw DbError(ErrorText(call.lastError()));
    for (int i = 0; i < order.size(); ++i) {
        const Param *p = Find(order[i]);
        if (!p) throw DbError(QStringLiteral("存储过程 %1 的参数 @%2 未赋值").arg(StoredProcName, order[i]));
        // Only in-out bindings bring output values back through FreeTDS.
        if (p->direction == Direction::InOut) {
            // The driver sizes an output buffer by the value bound in, so an empty in-out text is
            // sent as blanks, which T-SQL compares equal to the empty text.
            call.bindValue(i, p->value.leftJustified(kOutputWidth, QLatin1Char(' ')), QSql::InOut);
        } else {
            call.bindValue(i, p->value, QSql::In);
        }
    }
    if (!call.exec()) throw DbError(ErrorText(call.lastError()));
    while (call.nextResult()) {
    }
    for (int i = 0; i < order.size(); ++i)
        if (Param *p = Find(order[i]); p && p->direction == Direction::InOut) {
            const QVariant v = call.boundValue(i);
            p->value = v.isNull() ? QString(QLatin1String("")) : v.toString();
        }
}
