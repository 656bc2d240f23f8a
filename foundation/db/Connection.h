#pragma once
#include <QSqlDatabase>
#include <QString>

// The one database connection of the process. With an empty server address it is the embedded
// SQLite database named after the database name in the user's data directory, created with its
// schema, the platform administrator and the demo data on first need; otherwise SQL Server
// through ODBC and FreeTDS with SQL Server authentication.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QString Server;
    int Port = 1433;
    QString Database;
    QString Username;
    QString Password;
    int LoginTimeoutSeconds = 5;

    bool Connected() const;
    void Open(); // throws DbError with the driver's text
    void Close();
    bool IsEmbedded() const { return Server.trimmed().isEmpty(); }

    // The open database; opens it first when needed.
    QSqlDatabase Db();

    // Where the embedded database lives; tests point it at a file of their own.
    QString EmbeddedPath() const;
    void SetEmbeddedPath(const QString &path) { m_embeddedPath = path; }

    // DSN-less FreeTDS connection string (values with ';' or braces are brace-quoted).
    static QString OdbcConnectionString(const QString &server, int port, const QString &database,
                                        const QString &user, const QString &password, int timeoutSeconds);

private:
    void OpenEmbedded();
    void OpenServer();

    QString m_name;
    QString m_embeddedPath;
};

// Opens an embedded database file with the engine settings every connection uses, creating the
// schema, the administrator (password "admin") and, when withDemo is set, the demo data when the
// file holds no alliance tables yet. Used by Connection and by qenadmin.
QSqlDatabase OpenEmbeddedDatabase(const QString &connectionName, const QString &path, bool withDemo);
