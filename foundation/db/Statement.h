#pragma once
#include <QString>
#include <QStringList>

// How a statement written for SQL Server is sent to an engine.
namespace Statement {

// The embedded engine's forms of the few T-SQL constructs the client uses: "SELECT TOP n" becomes
// "LIMIT n" at the end of the statement and "ISNULL(" becomes "IFNULL(" (outside string literals).
// Everything else is sent verbatim; SQL Server receives the text unchanged.
QString AdaptForEmbedded(const QString &text);

// Replaces each ":Name" outside string literals with "?" and lists the names in order of
// appearance (a name may appear more than once).
struct Positional {
    QString text;
    QStringList names;
};
Positional ToPositional(const QString &text);

} // namespace Statement
