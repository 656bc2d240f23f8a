#include "foundation/db/DbError.h"
#include "server/embedded/EmbeddedServer.h"
#include "server/embedded/EmbeddedSupport.h"

#include <QDateTime>
#include <QStringList>
#include <QVariant>

// Sp_Sys_Login and Sp_Sys_Reg of the embedded engine. They follow the T-SQL procedures in
// server/mssql/02_procedures.sql rule for rule; a change to one belongs in the other too.
namespace EmbeddedServer {

namespace {

using detail::Exec;
using detail::Prepare;

const QString StatePending = QStringLiteral("待审核");
const QString StateOnline = QStringLiteral("已上线");
const QString StateBlocked = QStringLiteral("已屏蔽");

// Refusal texts shown to the user as they are.
const QString MsgUnknownShop = QStringLiteral("商户编号不存在,请检查后重新输入!");
const QString MsgPending = QStringLiteral("该商户正在等待审核,审核通过后才能登录!");
const QString MsgBlocked = QStringLiteral("该商户已被屏蔽,不能登录,请与平台管理员联系!");
const QString MsgNotOnline = QStringLiteral("该商户尚未上线,不能登录,请与平台管理员联系!");
const QString MsgBadUser = QStringLiteral("用户编号或密码错误,请重新输入!");
const QString MsgHostLocked = QStringLiteral("该商户已锁定登录,这台计算机不在允许登录的范围内!");
const QString MsgShopTaken = QStringLiteral("该商户编号已被使用,请换一个编号!");

// The first user of a new merchant: its administrator with every code but 02 (merchant management,
// which belongs to the platform administrator only).
const QString NewShopUserName = QStringLiteral("管理员");
const QString NewShopUserAction = QStringLiteral("01,03,04,05,06,");

struct Procedure {
    QString name;
    QStringList inputs;
    QStringList outputs;
    void (*run)(QSqlDatabase &db, QMap<QString, QString> &params);
};

// Parameter access by name without case, as SQL Server matches @names.
QMap<QString, QString>::iterator FindParam(QMap<QString, QString> &params, const QString &name)
{
    for (auto it = params.begin(); it != params.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0) return it;
    return params.end();
}

QString In(QMap<QString, QString> &params, const QString &name)
{
    auto it = FindParam(params, name);
    return it == params.end() ? QString() : it.value();
}

void Out(QMap<QString, QString> &params, const QString &name, const QString &value)
{
    auto it = FindParam(params, name);
    if (it == params.end())
        params.insert(name, value);
    else
        it.value() = value;
}

// A NULL column reads as the empty text.
QString Text(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

// SQL Server compares text ignoring trailing blanks; the stored state texts are compared the same way.
bool SameState(QString state, const QString &expected)
{
    while (state.endsWith(QLatin1Char(' ')))
        state.chop(1);
    return state == expected;
}

// Sign-in. Checks, in order: the merchant exists, is online, the user and password match, and, while
// the merchant's login lock is set, the computer has signed in for it before. On success the computer
// is recorded in Sys_Login (LastUser is the user number) and the merchant's names and the user's
// permission string are returned with RunState "0".
void SpSysLogin(QSqlDatabase &db, QMap<QString, QString> &params)
{
    const QString shopNo = In(params, QStringLiteral("ShopNo"));
    const QString userNo = In(params, QStringLiteral("UserNo"));
    const QString password = In(params, QStringLiteral("Password"));
    const QString hostId = In(params, QStringLiteral("HostId"));
    const QString hostName = In(params, QStringLiteral("HostName"));

    Out(params, QStringLiteral("ShopName"), QString());
    Out(params, QStringLiteral("AllName"), QString());
    Out(params, QStringLiteral("Action"), QString());

    QSqlQuery shop = Prepare(db, QStringLiteral("SELECT ShopNo, ShopName, AllName, State, IFNULL(Locked, 0) "
                                                "FROM Sys_Shop WHERE ShopNo = ?"));
    shop.addBindValue(shopNo);
    Exec(shop);
    if (!shop.next()) {
        Out(params, QStringLiteral("RunState"), MsgUnknownShop);
        return;
    }
    // The merchant number as stored: the one typed may differ in letter case.
    const QString storedShopNo = shop.value(0).toString();
    const QString shopName = Text(shop.value(1));
    const QString allName = Text(shop.value(2));
    const QString state = Text(shop.value(3));
    const bool locked = shop.value(4).toInt() != 0;
    shop.finish();

    if (!SameState(state, StateOnline)) {
        const QString reason = SameState(state, StatePending)   ? MsgPending
                               : SameState(state, StateBlocked) ? MsgBlocked
                                                                : MsgNotOnline;
        Out(params, QStringLiteral("RunState"), reason);
        return;
    }

    // The stored form is compared exactly: forms of passwords that differ in letter case can differ
    // only in letter case themselves.
    QSqlQuery user =
        Prepare(db, QStringLiteral("SELECT Action FROM Sys_User "
                                   "WHERE ShopNo = ? AND UserNo = ? AND Password = ? COLLATE BINARY"));
    user.addBindValue(storedShopNo);
    user.addBindValue(userNo);
    user.addBindValue(password);
    Exec(user);
    if (!user.next()) {
        Out(params, QStringLiteral("RunState"), MsgBadUser);
        return;
    }
    const QString action = Text(user.value(0));
    user.finish();

    if (locked) {
        QSqlQuery host =
            Prepare(db, QStringLiteral("SELECT 1 FROM Sys_Login WHERE ShopNo = ? AND HostId = ?"));
        host.addBindValue(storedShopNo);
        host.addBindValue(hostId);
        Exec(host);
        const bool known = host.next();
        host.finish();
        if (!known) {
            Out(params, QStringLiteral("RunState"), MsgHostLocked);
            return;
        }
    }

    QSqlQuery record =
        Prepare(db, QStringLiteral("INSERT INTO Sys_Login (ShopNo, HostId, HostName, LastUser, LastDate) "
                                   "VALUES (?, ?, ?, ?, ?) "
                                   "ON CONFLICT (ShopNo, HostId) DO UPDATE SET "
                                   "HostName = excluded.HostName, LastUser = excluded.LastUser, "
                                   "LastDate = excluded.LastDate"));
    record.addBindValue(storedShopNo);
    record.addBindValue(hostId);
    record.addBindValue(hostName);
    record.addBindValue(userNo);
    record.addBindValue(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    Exec(record);

    Out(params, QStringLiteral("ShopName"), shopName);
    Out(params, QStringLiteral("AllName"), allName);
    Out(params, QStringLiteral("Action"), action);
    Out(params, QStringLiteral("RunState"), QStringLiteral("0"));
}

// Sign-up. Refuses a merchant number already taken (compared without case); otherwise creates the
// merchant awaiting review, with one authorised user, unlocked and not administrator, together with
// its administrator user. The client has validated the other values.
void SpSysReg(QSqlDatabase &db, QMap<QString, QString> &params)
{
    const QString shopNo = In(params, QStringLiteral("ShopNo"));

    QSqlQuery taken = Prepare(db, QStringLiteral("SELECT 1 FROM Sys_Shop WHERE ShopNo = ?"));
    taken.addBindValue(shopNo);
    Exec(taken);
    const bool exists = taken.next();
    taken.finish();
    if (exists) {
        Out(params, QStringLiteral("RunState"), MsgShopTaken);
        return;
    }

    QSqlQuery shop =
        Prepare(db, QStringLiteral("INSERT INTO Sys_Shop (ShopNo, ShopName, AllName, LinkPer, Tel, Address, "
                                   "State, Users, Locked, Admin) VALUES (?, ?, ?, ?, ?, ?, ?, 1, 0, 0)"));
    shop.addBindValue(shopNo);
    for (const char *name : {"ShopName", "AllName", "LinkPer", "Tel", "Address"})
        shop.addBindValue(In(params, QString::fromLatin1(name)));
    shop.addBindValue(StatePending);
    Exec(shop);

    QSqlQuery user =
        Prepare(db, QStringLiteral("INSERT INTO Sys_User (ShopNo, UserNo, UserName, Password, Action) "
                                   "VALUES (?, ?, ?, ?, ?)"));
    user.addBindValue(shopNo);
    user.addBindValue(In(params, QStringLiteral("UserNo")));
    user.addBindValue(NewShopUserName);
    user.addBindValue(In(params, QStringLiteral("Password")));
    user.addBindValue(NewShopUserAction);
    Exec(user);

    Out(params, QStringLiteral("RunState"), QStringLiteral("0"));
}

const Procedure *FindProcedure(const QString &name)
{
    static const Procedure procedures[] = {
        {QStringLiteral("Sp_Sys_Login"),
         {QStringLiteral("ShopNo"), QStringLiteral("UserNo"), QStringLiteral("Password"),
          QStringLiteral("HostId"), QStringLiteral("HostName")},
         {QStringLiteral("ShopName"), QStringLiteral("AllName"), QStringLiteral("Action"),
          QStringLiteral("RunState")},
         &SpSysLogin},
        {QStringLiteral("Sp_Sys_Reg"),
         {QStringLiteral("ShopNo"), QStringLiteral("ShopName"), QStringLiteral("AllName"),
          QStringLiteral("LinkPer"), QStringLiteral("Tel"), QStringLiteral("Address"),
          QStringLiteral("UserNo"), QStringLiteral("Password")},
         {QStringLiteral("RunState")},
         &SpSysReg},
    };
    for (const Procedure &procedure : procedures)
        if (procedure.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) return &procedure;
    return nullptr;
}

// Refuses calls that SQL Server would refuse: an input not supplied, or a name the procedure lacks.
void CheckParameters(const Procedure &procedure, const QMap<QString, QString> &params)
{
    for (const QString &input : procedure.inputs) {
        bool found = false;
        for (auto it = params.cbegin(); it != params.cend() && !found; ++it)
            found = it.key().compare(input, Qt::CaseInsensitive) == 0;
        if (!found)
            throw DbError(
                QStringLiteral("Procedure or function '%1' expects parameter '@%2', which was not supplied.")
                    .arg(procedure.name, input));
    }
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString &key = it.key();
        if (!procedure.inputs.contains(key, Qt::CaseInsensitive) &&
            !procedure.outputs.contains(key, Qt::CaseInsensitive))
            throw DbError(
                QStringLiteral("@%1 is not a parameter for procedure %2.").arg(key, procedure.name));
    }
}

} // namespace

bool HasProcedure(const QString &name)
{
    return FindProcedure(name) != nullptr;
}

void RunProcedure(QSqlDatabase &db, const QString &name, QMap<QString, QString> &params)
{
    const Procedure *procedure = FindProcedure(name);
    if (!procedure) throw DbError(QStringLiteral("Could not find stored procedure '%1'.").arg(name));
    CheckParameters(*procedure, params);

    // The outputs become visible to the caller only once the transaction has committed.
    QMap<QString, QString> work = params;
    detail::Transaction transaction(db);
    procedure->run(db, work);
    transaction.Commit();
    params = work;
}

} // namespace EmbeddedServer
