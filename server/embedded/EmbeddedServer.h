#pragma once
#include <QMap>
#include <QSqlDatabase>
#include <QString>

// The alliance database's server side for the embedded (SQLite) engine:
// schema, the two procedures run in-process, the platform administrator and demo data.
// Every function throws DbError (foundation/db/DbError.h) with the driver's text on failure.
namespace EmbeddedServer {

// Creates the four tables, keys, indexes and cascades. Idempotent.
void CreateSchema(QSqlDatabase &db);

// The platform administrator merchant "0000" (Admin set, online) and its user "01"
// holding all six codes, with the stored form of adminPassword.
void CreateAdministrator(QSqlDatabase &db, const QString &adminPassword);

// Deterministic demo merchants, users and about 30 000 stock rows.
void CreateDemoData(QSqlDatabase &db);

// Appends count generated stock rows spread over the existing online merchants
// (deterministic for a given seed). Used by qenadmin and the benchmarks.
void AddStock(QSqlDatabase &db, int count, quint32 seed);

// Whether the named procedure exists in the embedded engine (name compared without case).
bool HasProcedure(const QString &name);

// Runs Sp_Sys_Login or Sp_Sys_Reg in one transaction. params maps parameter names
// (matched without case) to their text values; the procedure reads its inputs from it
// and writes its outputs (ShopName, AllName, Action, RunState) back into it.
void RunProcedure(QSqlDatabase &db, const QString &name, QMap<QString, QString> &params);

} // namespace EmbeddedServer
