#pragma once
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Small helpers shared by the embedded engine's sources: statements that throw DbError with the
// driver's text, a transaction guard and the demo generator's random numbers.
namespace EmbeddedServer::detail {

[[noreturn]] void Fail(const QSqlError &error);

// Runs one statement without parameters.
void Exec(QSqlDatabase &db, const QString &sql);
// Prepares a statement for repeated execution with bound values.
QSqlQuery Prepare(QSqlDatabase &db, const QString &sql);
// Executes a prepared statement.
void Exec(QSqlQuery &query);

// Begins a transaction on construction; rolls it back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(QSqlDatabase &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void Commit();

private:
    QSqlDatabase &m_db;
    bool m_open = false;
};

// SplitMix64: small, fast and identical on every platform, so generated data depends only on the seed.
class Rng {
public:
    explicit Rng(quint64 seed) : m_state(seed) {}
    quint64 Next();
    // Uniform in [0, n); n > 0.
    int Below(int n) { return int(Next() % quint64(n)); }
    // Uniform in [lo, hi].
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    // Uniform in [0, 1).
    double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
    template <typename T, std::size_t N> const T &Pick(const T (&items)[N]) { return items[Below(int(N))]; }

private:
    quint64 m_state;
};

} // namespace EmbeddedServer::detail
