#pragma once
#include <QList>
#include <QString>
#include <QStringList>

class Connection;

// A stored-procedure call on the connection: parameters set by name, executed as a call,
// outputs read by name (NULL as the empty text).
//
// On SQL Server the call is sent through the ODBC call escape with every parameter bound in
// the order the server's catalogue declares them; on the embedded engine the procedure runs
// in-process in one transaction.
class StoredProc {
public:
    enum class Direction { In, InOut };
    struct Param {
        QString name;
        Direction direction = Direction::In;
        QString value;
    };

    explicit StoredProc(Connection *connection) : m_connection(connection) {}

    QString StoredProcName;

    void Close() { m_params.clear(); }
    void SetParam(const QString &name, const QString &value, Direction direction = Direction::In);
    QString ParamText(const QString &name) const; // the value after the call for in-out parameters
    void ExecProc();

    // The call text for parameters in catalogue order, e.g. "{CALL Sp_Sys_Login(?,?,?)}".
    static QString CallText(const QString &procedure, int parameterCount);
    // Parameter names from a catalogue answer (sp_sproc_columns rows: name and type), in
    // order, without the leading '@' and without the return value.
    static QStringList OrderFromCatalogue(const QList<QPair<QString, int>> &columns);

private:
    Param *Find(const QString &name);
    void ExecOnServer();
    void ExecEmbedded();

    Connection *m_connection;
    QList<Param> m_params;
};
