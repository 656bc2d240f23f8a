#include "foundation/db/Connection.h"

#include "foundation/db/DbError.h"
#include "server/embedded/EmbeddedServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QUuid>

namespace {

QString BraceQuoted(const QString &value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) &&
        !value.contains(QLatin1Char('}')) && value.trimmed() == value)
        return value;
    QString v = value;
    v.replace(QLatin1String("}"), QLatin1String("}}"));
    return QLatin1Char('{') + v + QLatin1Char('}');
}

QString DriverText(const QSqlError &error)
{
    QString text = error.databaseText();
    if (!error.driverText().isEmpty() && !text.contains(error.driverText()))
        text = text.isEmpty() ? error.driverText() : error.driverText() + QLatin1Char(' ') + text;
    return text.trimmed();
}

void Exec(QSqlDatabase &db, const QString &statement)
{
    QSqlQuery q(db);
    if (!q.exec(statement)) throw DbError(DriverText(q.lastError()));
}

bool HasAllianceTables(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name='Sys_Shop'")))
        throw DbError(DriverText(q.lastError()));
    return q.next();
}

} // namespace

namespace {

QSqlDatabase OpenFile(const QString &connectionName, const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    try {
        if (!db.open()) throw DbError(DriverText(db.lastError()));
        Exec(db, QStringLiteral("PRAGMA foreign_keys=ON"));
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw;
    }
    return db;
}

void CloseFile(const QString &connectionName)
{
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

// A new database is built beside its final name and renamed into place when complete, so a
// failure half-way never leaves a file that later starts would take for a finished one.
void CreateDatabaseFile(const QString &path, bool withDemo)
{
    const QString part = path + QStringLiteral(".part");
    const QString name = QStringLiteral("qen-create-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QFile::remove(part);
    {
        QSqlDatabase db = OpenFile(name, part);
        try {
            EmbeddedServer::CreateSchema(db);
            EmbeddedServer::CreateAdministrator(db, QStringLiteral("admin"));
            if (withDemo) EmbeddedServer::CreateDemoData(db);
        } catch (...) {
            db = QSqlDatabase();
            CloseFile(name);
            QFile::remove(part);
            throw;
        }
    }
    CloseFile(name);
    QFile::remove(path); // an empty or foreign file without the alliance tables
    if (!QFile::rename(part, path)) throw DbError(QStringLiteral("无法创建数据库文件 %1").arg(path));
}

} // namespace

QSqlDatabase OpenEmbeddedDatabase(const QString &connectionName, const QString &path, bool withDemo)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path)) {
        QSqlDatabase db = OpenFile(connectionName, path);
        bool ready = false;
        try {
            ready = HasAllianceTables(db);
        } catch (...) {
            db = QSqlDatabase();
            CloseFile(connectionName);
            throw;
        }
        if (ready) return db;
        db = QSqlDatabase();
        CloseFile(connectionName);
    }
    CreateDatabaseFile(path, withDemo);
    return OpenFile(connectionName, path);
}

Connection::Connection() : m_name(QStringLiteral("qen-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

Connection::~Connection()
{
    Close();
}

bool Connection::Connected() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QString Connection::EmbeddedPath() const
{
    if (!m_embeddedPath.isEmpty()) return m_embeddedPath;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') + Database +
           QLatin1String(".db");
}

void Connection::Open()
{
    if (Connected()) return;
    if (QSqlDatabase::contains(m_name)) QSqlDatabase::removeDatabase(m_name);
    if (IsEmbedded())
        OpenEmbedded();
    else
        OpenServer();
}

void Connection::OpenEmbedded()
{
    OpenEmbeddedDatabase(m_name, EmbeddedPath(), true);
}

void Connection::OpenServer()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    db.setDatabaseName(OdbcConnectionString(Server, Port, Database, Username, Password, LoginTimeoutSeconds));
    // Without it, FreeTDS waits minutes on a server that accepts but never answers.
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(LoginTimeoutSeconds));
    if (!db.open()) {
        const QString text = DriverText(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw DbError(text.isEmpty() ? QStringLiteral("无法连接数据库服务器 %1").arg(Server) : text);
    }
}

void Connection::Close()
{
    if (!QSqlDatabase::contains(m_name)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase Connection::Db()
{
    Open();
    return QSqlDatabase::database(m_name, false);
}

QString Connection::OdbcConnectionString(const QString &server, int port, const QString &database,
                                         const QString &user, const QString &password, int timeoutSeconds)
{
    QStringList parts{
        QStringLiteral("DRIVER={FreeTDS}"),
        QStringLiteral("SERVER=") + BraceQuoted(server),
        QStringLiteral("PORT=%1").arg(port),
        QStringLiteral("DATABASE=") + BraceQuoted(database),
        QStringLiteral("UID=") + BraceQuoted(user),
        QStringLiteral("PWD=") + BraceQuoted(password),
        QStringLiteral("TDS_Version=7.4"),
        QStringLiteral("ClientCharset=UTF-8"),
        QStringLiteral("Timeout=%1").arg(timeoutSeconds),
    };
    return parts.join(QLatin1Char(';')) + QLatin1Char(';');
}
