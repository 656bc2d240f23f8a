// init-db, demo-data and set-password on an embedded alliance database file.
#include "foundation/db/Connection.h"
#include "foundation/db/DbError.h"
#include "foundation/untPublic.h"
#include "server/embedded/EmbeddedServer.h"
#include "tools/qenadmin/Command.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <cstdio>

namespace {

const QString kConnection = QStringLiteral("qenadmin");

struct Database {
    QSqlDatabase db;
    Database(const QString &path, bool withDemo) : db(OpenEmbeddedDatabase(kConnection, path, withDemo)) {}
    ~Database()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kConnection);
    }
};

const qenadmin::Register initDb({
    QStringLiteral("init-db"),
    QStringLiteral("PATH"),
    QStringLiteral("create an embedded database with the administrator and demo data"),
    [](const QStringList &args) {
        if (args.size() != 1)
            return qenadmin::Fail(QStringLiteral("init-db takes exactly one argument: PATH"));
        if (QFileInfo::exists(args.first()))
            return qenadmin::Fail(QStringLiteral("%1 exists already").arg(args.first()));
        Database database(args.first(), true);
        qenadmin::Print(QStringLiteral("created %1").arg(args.first()));
        return 0;
    },
});

const qenadmin::Register demoData({
    QStringLiteral("demo-data"),
    QStringLiteral("PATH --stock N [--seed S]"),
    QStringLiteral("add N generated stock rows (the database is created when missing)"),
    [](const QStringList &args) {
        bool ok = args.size() == 3 || args.size() == 5;
        ok = ok && args[1] == QLatin1String("--stock");
        const int count = ok ? args[2].toInt(&ok) : 0;
        quint32 seed = 1;
        if (ok && args.size() == 5) {
            ok = args[3] == QLatin1String("--seed");
            seed = ok ? args[4].toUInt(&ok) : 1;
        }
        if (!ok || count < 0)
            return qenadmin::Fail(QStringLiteral("usage: demo-data PATH --stock N [--seed S]"));
        Database database(args[0], true);
        EmbeddedServer::AddStock(database.db, count, seed);
        qenadmin::Print(QStringLiteral("added %1 stock rows to %2").arg(count).arg(args[0]));
        return 0;
    },
});

const qenadmin::Register setPassword({
    QStringLiteral("set-password"),
    QStringLiteral("PATH SHOP USER"),
    QStringLiteral("set a user's password, read from standard input"),
    [](const QStringList &args) {
        if (args.size() != 3)
            return qenadmin::Fail(
                QStringLiteral("usage: set-password PATH SHOP USER (password on standard input)"));
        if (!QFileInfo::exists(args[0]))
            return qenadmin::Fail(QStringLiteral("%1 does not exist").arg(args[0]));
        QTextStream in(stdin);
        const QString password = TrimText(in.readLine());
        if (!GbkCanHold(password))
            return qenadmin::Fail(QStringLiteral("the password holds characters that GBK cannot encode"));
        if (IsPasswordFiller(password))
            return qenadmin::Fail(
                QStringLiteral("this password has the same stored form as the empty password"));
        Database database(args[0], false);
        QSqlQuery q(database.db);
        q.prepare(QStringLiteral("UPDATE Sys_User SET PassWord=? WHERE ShopNo=? AND UserNo=?"));
        q.addBindValue(EncodePassword(password));
        q.addBindValue(args[1]);
        q.addBindValue(args[2]);
        if (!q.exec()) throw DbError(q.lastError().text());
        if (q.numRowsAffected() == 0)
            return qenadmin::Fail(QStringLiteral("no user %1 in merchant %2").arg(args[2], args[1]));
        qenadmin::Print(QStringLiteral("password of user %1 in merchant %2 changed").arg(args[2], args[1]));
        return 0;
    },
});

} // namespace
