#pragma once
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class Connection;

// A statement on the connection with named parameters, read wholly into the client with a
// current row, and data-bound editing whose rows are written back to one table.
//
// Statement text is held as lines and sent joined by CR LF. Parameters are ":Name", bound by
// name as text unless set as a boolean. Text fields read NULL as the empty text.
class Query : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Query(Connection *connection, QObject *parent = nullptr);

    // Statement text.
    QStringList SQL;
    QString StatementText() const { return SQL.join(QLatin1String("\r\n")); }
    // The text as the engine receives it (adapted for the embedded engine).
    QString EngineText() const;

    // Parameters, by name (compared without case).
    void SetParam(const QString &name, const QString &value);
    void SetParamBool(const QString &name, bool value);
    QVariant Param(const QString &name) const;
    void ClearParams() { m_params.clear(); }

    void Open();    // runs the statement and reads its rows; the first row is current
    void ExecSQL(); // runs a statement that returns no rows
    void Close();
    bool Active() const { return m_state != State::Inactive; }
    int RowsAffected() const { return m_rowsAffected; }

    // Rows and the current row.
    int RecordCount() const { return int(m_rows.size()); }
    int RecNo() const { return m_current; } // 0-based; -1 when empty
    bool Eof() const { return m_eof; }
    bool IsEmpty() const { return m_rows.empty(); }
    void First();
    void Next();
    void MoveTo(int row);
    QStringList FieldNames() const { return m_fields; }
    int FieldIndex(const QString &name) const; // -1 when absent
    QVariant FieldValue(const QString &name) const;
    QString FieldText(const QString &name) const;
    bool FieldBool(const QString &name) const;
    int FieldInt(const QString &name) const;
    double FieldFloat(const QString &name) const;
    QVariant Value(int row, int column) const;

    // Data-bound editing. The table and the columns that identify its rows must be set before
    // a row is posted or deleted.
    void SetUpdateTable(const QString &table, const QStringList &keyFields);
    State GetState() const { return m_state; }
    void Edit();
    void Append(); // a new empty row at the end, current, in Insert state
    void SetField(const QString &name, const QVariant &value);
    // Writes the pending row: an update of the columns changed since Edit (located by the key
    // values as read), or an insert of the columns set since Append. An update or delete that
    // reaches no row raises DbError: someone else changed or deleted it meanwhile.
    void Post();
    void Cancel();
    void Delete();

signals:
    void Reset();             // opened, closed or re-read
    void RowChanged(int row); // values of a row changed
    void RowInserted(int row);
    void RowRemoved(int row);
    void CurrentChanged(int row); // the current row moved
    void StateChanged();

private:
    using Row = std::vector<QVariant>;
    QVariantList ParamValues(const QStringList &names) const;
    void Run(const QString &text, const QVariantList &values, bool readRows);
    void ExecWrite(const QString &text, const QVariantList &values, bool mustReachRow);
    QVariant BindValue(const QVariant &v) const;
    int RequireField(const QString &name) const;
    void SetState(State s);

    Connection *m_connection;
    QMap<QString, QVariant> m_params; // keyed by lower-case name
    QStringList m_fields;
    std::vector<Row> m_rows;
    int m_current = -1;
    bool m_eof = true;
    State m_state = State::Inactive;
    int m_rowsAffected = 0;

    QString m_table;
    QStringList m_keys;
    Row m_original;          // the row as read, while editing
    std::vector<bool> m_set; // columns set since Edit or Append
};
