#include "server/embedded/EmbeddedSupport.h"

#include "foundation/db/DbError.h"

#include <QSqlError>

namespace EmbeddedServer::detail {

void Fail(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) text = error.text().trimmed();
    throw DbError(text);
}

void Exec(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql)) Fail(query.lastError());
}

QSqlQuery Prepare(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.prepare(sql)) Fail(query.lastError());
    return query;
}

void Exec(QSqlQuery &query)
{
    if (!query.exec()) Fail(query.lastError());
}

Transaction::Transaction(QSqlDatabase &db) : m_db(db)
{
    if (!m_db.transaction()) Fail(m_db.lastError());
    m_open = true;
}

Transaction::~Transaction()
{
    if (m_open) m_db.rollback();
}

void Transaction::Commit()
{
    if (!m_db.commit()) Fail(m_db.lastError());
    m_open = false;
}

quint64 Rng::Next()
{
    quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace EmbeddedServer::detail
