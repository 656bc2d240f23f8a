#include "server/embedded/EmbeddedServer.h"
#include "server/embedded/EmbeddedSupport.h"

#include <QStringList>

// The four tables of the alliance database on SQLite. Widths are written as VARCHAR(n) to document
// the server's columns (SQLite does not enforce them); every text column compares without ASCII case,
// as the server's Chinese_PRC_CI_AS collation does. Flags are INTEGER 0/1.
namespace EmbeddedServer {

namespace {

const char *const SchemaStatements[] = {
    R"(CREATE TABLE IF NOT EXISTS Sys_Shop (
  ShopNo   VARCHAR(10)  COLLATE NOCASE NOT NULL PRIMARY KEY,
  ShopName VARCHAR(30)  COLLATE NOCASE,
  AllName  VARCHAR(60)  COLLATE NOCASE,
  Address  VARCHAR(100) COLLATE NOCASE,
  LinkPer  VARCHAR(20)  COLLATE NOCASE,
  Tel      VARCHAR(30)  COLLATE NOCASE,
  Per01    VARCHAR(20)  COLLATE NOCASE,
  Tel01    VARCHAR(30)  COLLATE NOCASE,
  QQ01     VARCHAR(20)  COLLATE NOCASE,
  Per02    VARCHAR(20)  COLLATE NOCASE,
  Tel02    VARCHAR(30)  COLLATE NOCASE,
  QQ02     VARCHAR(20)  COLLATE NOCASE,
  State    VARCHAR(10)  COLLATE NOCASE NOT NULL DEFAULT '待审核'
           CHECK (State IN ('待审核', '已上线', '已屏蔽')),
  Locked   INTEGER DEFAULT 0 CHECK (Locked IN (0, 1)),
  Admin    INTEGER DEFAULT 0 CHECK (Admin IN (0, 1)),
  Users    INTEGER NOT NULL DEFAULT 1
))",
    // Password holds the stored form: 122 characters for the longest password the sign-in and sign-up
    // dialogs accept, and room beyond that for the change-password dialog, which sets no limit.
    R"(CREATE TABLE IF NOT EXISTS Sys_User (
  ShopNo   VARCHAR(10)  COLLATE NOCASE NOT NULL
           REFERENCES Sys_Shop (ShopNo) ON DELETE CASCADE ON UPDATE CASCADE,
  UserNo   VARCHAR(10)  COLLATE NOCASE NOT NULL,
  UserName VARCHAR(20)  COLLATE NOCASE,
  Password VARCHAR(250) COLLATE NOCASE,
  Action   VARCHAR(50)  COLLATE NOCASE,
  PRIMARY KEY (ShopNo, UserNo)
))",
    R"(CREATE TABLE IF NOT EXISTS Sys_Login (
  ShopNo   VARCHAR(10) COLLATE NOCASE NOT NULL
           REFERENCES Sys_Shop (ShopNo) ON DELETE CASCADE ON UPDATE CASCADE,
  HostId   VARCHAR(20) COLLATE NOCASE NOT NULL,
  HostName VARCHAR(30) COLLATE NOCASE,
  LastUser VARCHAR(30) COLLATE NOCASE,
  LastDate DATETIME,
  PRIMARY KEY (ShopNo, HostId)
))",
    R"(CREATE TABLE IF NOT EXISTS Sys_Stock (
  Id        INTEGER PRIMARY KEY,
  ShopNo    VARCHAR(10)  COLLATE NOCASE NOT NULL
            REFERENCES Sys_Shop (ShopNo) ON DELETE CASCADE ON UPDATE CASCADE,
  ShopName  VARCHAR(30)  COLLATE NOCASE,
  GoodsNo   VARCHAR(50)  COLLATE NOCASE,
  OemNo     VARCHAR(50)  COLLATE NOCASE,
  GoodsName VARCHAR(100) COLLATE NOCASE,
  Model     VARCHAR(255) COLLATE NOCASE,
  Base      VARCHAR(50)  COLLATE NOCASE,
  Factory   VARCHAR(50)  COLLATE NOCASE,
  Unit      VARCHAR(20)  COLLATE NOCASE,
  Qty       REAL,
  PriceSale REAL,
  PriceQen  REAL,
  State     INTEGER NOT NULL DEFAULT 0 CHECK (State IN (0, 1)),
  GoodsNoA  VARCHAR(50)  COLLATE NOCASE,
  OemNoA    VARCHAR(50)  COLLATE NOCASE,
  MoreNo    VARCHAR(255) COLLATE NOCASE
))",
    // A merchant's stock: the cascade on delete and the visibility switch of merchant management.
    // The stock search gets no index of its own: its LIKE '%x%' tests cannot use one, and an index on a
    // sort column only pays for keywords that match often; for a rare one, walking such an index costs
    // several times a plain scan (measured on a million rows), and every index slows the loading of stock.
    "CREATE INDEX IF NOT EXISTS IX_Sys_Stock_ShopNo ON Sys_Stock (ShopNo)",
};

} // namespace

void CreateSchema(QSqlDatabase &db)
{
    // Cascades need foreign keys on; the data layer's connection also sets this on every open.
    // The pragma has no effect inside a transaction, so it comes first.
    detail::Exec(db, QStringLiteral("PRAGMA foreign_keys = ON"));
    detail::Transaction transaction(db);
    for (const char *statement : SchemaStatements)
        detail::Exec(db, QString::fromUtf8(statement));
    transaction.Commit();
}

} // namespace EmbeddedServer
