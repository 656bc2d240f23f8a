// The embedded alliance database: schema, cascades, the sign-in and sign-up procedures and demo data.
#include "foundation/db/DbError.h"
#include "foundation/untPublic.h"
#include "server/embedded/EmbeddedServer.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using Params = QMap<QString, QString>;

namespace {

// A fresh database file with schema and platform administrator (password "admin").
class TempDatabase {
public:
    TempDatabase()
    {
        static int serial = 0;
        m_name = QStringLiteral("test_embedded_%1").arg(++serial);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(m_dir.filePath(QStringLiteral("alliance.db")));
        if (!db.open()) qFatal("cannot open the test database: %s", qPrintable(db.lastError().text()));
        EmbeddedServer::CreateSchema(db);
        EmbeddedServer::CreateAdministrator(db, QStringLiteral("admin"));
    }
    ~TempDatabase()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QTemporaryDir m_dir;
    QString m_name;
};

void Exec(QSqlDatabase db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(db);
    if (!query.prepare(sql))
        qFatal("prepare failed: %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) qFatal("exec failed: %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
}

QVariant Scalar(QSqlDatabase db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(db);
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec() || !query.next())
        qFatal("no value: %s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    return query.value(0);
}

int Count(QSqlDatabase db, const QString &sql, const QVariantList &values = {})
{
    return Scalar(db, sql, values).toInt();
}

void AddShop(QSqlDatabase db, const QString &shopNo, const QVariant &allName, const QString &state,
             int locked)
{
    Exec(db,
         QStringLiteral("INSERT INTO Sys_Shop (ShopNo, ShopName, AllName, State, Locked, Admin, Users) "
                        "VALUES (?, ?, ?, ?, ?, 0, 3)"),
         {shopNo, shopNo + QStringLiteral("简称"), allName, state, locked});
}

void AddUser(QSqlDatabase db, const QString &shopNo, const QString &userNo, const QString &password,
             const QString &action)
{
    Exec(db,
         QStringLiteral(
             "INSERT INTO Sys_User (ShopNo, UserNo, UserName, Password, Action) VALUES (?, ?, ?, ?, ?)"),
         {shopNo, userNo, QStringLiteral("用户") + userNo, EncodePassword(password), action});
}

Params LoginParams(const QString &shopNo, const QString &userNo, const QString &password,
                   const QString &hostId, const QString &hostName = QStringLiteral("PC-TEST"))
{
    return {{QStringLiteral("ShopNo"), shopNo},
            {QStringLiteral("UserNo"), userNo},
            {QStringLiteral("Password"), EncodePassword(password)},
            {QStringLiteral("HostId"), hostId},
            {QStringLiteral("HostName"), hostName},
            {QStringLiteral("ShopName"), QString()},
            {QStringLiteral("AllName"), QString()},
            {QStringLiteral("Action"), QString()},
            {QStringLiteral("RunState"), QString()}};
}

Params RegParams(const QString &shopNo, const QString &userNo = QStringLiteral("01"),
                 const QString &password = QStringLiteral("pass1"))
{
    return {{QStringLiteral("ShopNo"), shopNo},
            {QStringLiteral("ShopName"), QStringLiteral("新申请汽配")},
            {QStringLiteral("AllName"), QStringLiteral("新申请汽车配件有限公司")},
            {QStringLiteral("LinkPer"), QStringLiteral("林小明")},
            {QStringLiteral("Tel"), QStringLiteral("0755-83561234")},
            {QStringLiteral("Address"), QStringLiteral("深圳市福田区华强北路1号")},
            {QStringLiteral("UserNo"), userNo},
            {QStringLiteral("Password"), EncodePassword(password)},
            {QStringLiteral("RunState"), QString()}};
}

// Every stock row, in id order, hashed.
QByteArray StockChecksum(QSqlDatabase db)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT * FROM Sys_Stock ORDER BY Id")))
        qFatal("%s", qPrintable(query.lastError().text()));
    while (query.next()) {
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i)
            hash.addData(record.value(i).toString().toUtf8().append('\x1f'));
        hash.addData(QByteArrayView("\x1e"));
    }
    return hash.result().toHex();
}

const QString KnownHost = QStringLiteral("BFEBFBFF000906EA");
const QString OtherHost = QStringLiteral("178BFBFF00A50F00");

} // namespace

class TestEmbedded : public QObject {
    Q_OBJECT

private slots:
    void signIn_data();
    void signIn();
    void signInRefusesBadUserAndBadPasswordAlike();
    void signInRecordsComputerThenUpdatesIt();
    void procedureCalls_data();
    void procedureCalls();
    void signUpCreatesMerchantWithItsUser();
    void signUpRefusesTakenNumber_data();
    void signUpRefusesTakenNumber();
    void signUpRollsBackWhenUserCannotBeWritten();
    void deletingMerchantRemovesItsData();
    void textComparisonIgnoresAsciiCase_data();
    void textComparisonIgnoresAsciiCase();
    void demoSignIns_data();
    void demoSignIns();
    void demoStockFollowsMerchants();
    void generatedDataIsDeterministic();
    void addStockGoesToOnlineMembers();

private:
    // Merchants for the sign-in cases.
    void AddSignInMerchants(QSqlDatabase db);
};

void TestEmbedded::AddSignInMerchants(QSqlDatabase db)
{
    const QString online = QStringLiteral("已上线");
    AddShop(db, QStringLiteral("M001"), QStringLiteral("甲汽配有限公司"), online, 0);
    AddUser(db, QStringLiteral("M001"), QStringLiteral("01"), QStringLiteral("Secret9"),
            QStringLiteral("01,03,"));
    AddUser(db, QStringLiteral("M001"), QStringLiteral("02"), QString(), QString());
    AddShop(db, QStringLiteral("M002"), QStringLiteral("乙"), QStringLiteral("待审核"), 0);
    AddUser(db, QStringLiteral("M002"), QStringLiteral("01"), QStringLiteral("Secret9"),
            QStringLiteral("01,"));
    AddShop(db, QStringLiteral("M003"), QStringLiteral("丙"), QStringLiteral("已屏蔽"), 0);
    AddUser(db, QStringLiteral("M003"), QStringLiteral("01"), QStringLiteral("Secret9"),
            QStringLiteral("01,"));
    AddShop(db, QStringLiteral("M004"), QStringLiteral("丁汽配"), online, 1);
    AddUser(db, QStringLiteral("M004"), QStringLiteral("01"), QStringLiteral("Secret9"),
            QStringLiteral("01,05,"));
    Exec(db,
         QStringLiteral("INSERT INTO Sys_Login (ShopNo, HostId, HostName, LastUser, LastDate) "
                        "VALUES ('M004', ?, 'OLD-PC', '01', '2020-01-01 08:00:00')"),
         {KnownHost});
    AddShop(db, QStringLiteral("M005"), QVariant(QMetaType(QMetaType::QString)), online, 0);
    AddUser(db, QStringLiteral("M005"), QStringLiteral("01"), QStringLiteral("Secret9"),
            QStringLiteral("04,"));
}

void TestEmbedded::signIn_data()
{
    QTest::addColumn<QString>("shopNo");
    QTest::addColumn<QString>("userNo");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("hostId");
    // "0" for success, otherwise a word the refusal must contain.
    QTest::addColumn<QString>("runState");
    QTest::addColumn<QString>("shopName");
    QTest::addColumn<QString>("allName");
    QTest::addColumn<QString>("action");

    const QString pw = QStringLiteral("Secret9");
    QTest::newRow("success") << "M001"
                             << "01" << pw << OtherHost << "0"
                             << "M001简称"
                             << "甲汽配有限公司"
                             << "01,03,";
    QTest::newRow("empty password, empty permissions") << "M001"
                                                       << "02"
                                                       << "" << OtherHost << "0"
                                                       << "M001简称"
                                                       << "甲汽配有限公司"
                                                       << "";
    QTest::newRow("merchant number in lower case") << "m001"
                                                   << "01" << pw << OtherHost << "0"
                                                   << "M001简称"
                                                   << "甲汽配有限公司"
                                                   << "01,03,";
    QTest::newRow("NULL full name reads empty") << "M005"
                                                << "01" << pw << OtherHost << "0"
                                                << "M005简称"
                                                << ""
                                                << "04,";
    QTest::newRow("unknown merchant") << "Z999"
                                      << "01" << pw << OtherHost << "不存在"
                                      << ""
                                      << ""
                                      << "";
    QTest::newRow("awaiting review") << "M002"
                                     << "01" << pw << OtherHost << "审核"
                                     << ""
                                     << ""
                                     << "";
    QTest::newRow("blocked") << "M003"
                             << "01" << pw << OtherHost << "屏蔽"
                             << ""
                             << ""
                             << "";
    QTest::newRow("wrong password") << "M001"
                                    << "01"
                                    << "secret9" << OtherHost << "密码"
                                    << ""
                                    << ""
                                    << "";
    QTest::newRow("password given to empty-password user") << "M001"
                                                           << "02" << pw << OtherHost << "密码"
                                                           << ""
                                                           << ""
                                                           << "";
    QTest::newRow("unknown user") << "M001"
                                  << "09" << pw << OtherHost << "密码"
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("user of another merchant") << "M005"
                                              << "02"
                                              << "" << OtherHost << "密码"
                                              << ""
                                              << ""
                                              << "";
    QTest::newRow("locked, known computer") << "M004"
                                            << "01" << pw << KnownHost << "0"
                                            << "M004简称"
                                            << "丁汽配"
                                            << "01,05,";
    QTest::newRow("locked, known computer, id in lower case") << "M004"
                                                              << "01" << pw << KnownHost.toLower() << "0"
                                                              << "M004简称"
                                                              << "丁汽配"
                                                              << "01,05,";
    QTest::newRow("locked, unknown computer") << "M004"
                                              << "01" << pw << OtherHost << "锁定"
                                              << ""
                                              << ""
                                              << "";
    QTest::newRow("locked, unknown computer, wrong password") << "M004"
                                                              << "01"
                                                              << "x" << OtherHost << "密码"
                                                              << ""
                                                              << ""
                                                              << "";
}

void TestEmbedded::signIn()
{
    QFETCH(QString, shopNo);
    QFETCH(QString, userNo);
    QFETCH(QString, password);
    QFETCH(QString, hostId);
    QFETCH(QString, runState);
    QFETCH(QString, shopName);
    QFETCH(QString, allName);
    QFETCH(QString, action);

    TempDatabase temp;
    QSqlDatabase db = temp.db();
    AddSignInMerchants(db);
    const int hostsBefore = Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Login"));

    Params params = LoginParams(shopNo, userNo, password, hostId, QStringLiteral("WS-17"));
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), params);

    const QString result = params.value(QStringLiteral("RunState"));
    if (runState == QLatin1String("0")) {
        QCOMPARE(result, runState);
        QCOMPARE(params.value(QStringLiteral("ShopName")), shopName);
        QCOMPARE(params.value(QStringLiteral("AllName")), allName);
        QCOMPARE(params.value(QStringLiteral("Action")), action);
        // The computer is recorded under the merchant number as stored, whatever case was typed.
        QSqlQuery host(db);
        host.prepare(QStringLiteral("SELECT ShopNo, HostName, LastUser FROM Sys_Login WHERE HostId = ?"));
        host.addBindValue(hostId);
        QVERIFY(host.exec() && host.next());
        QCOMPARE(host.value(0).toString(), shopNo.toUpper());
        QCOMPARE(host.value(1).toString(), QStringLiteral("WS-17"));
        QCOMPARE(host.value(2).toString(), userNo);
        QVERIFY(!host.next());
    } else {
        QVERIFY2(result != QLatin1String("0") && result.contains(runState), qPrintable(result));
        QCOMPARE(params.value(QStringLiteral("ShopName")), QString());
        QCOMPARE(params.value(QStringLiteral("Action")), QString());
        QCOMPARE(Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Login")), hostsBefore);
    }
}

void TestEmbedded::signInRefusesBadUserAndBadPasswordAlike()
{
    TempDatabase temp;
    QSqlDatabase db = temp.db();
    AddSignInMerchants(db);
    Params badUser =
        LoginParams(QStringLiteral("M001"), QStringLiteral("99"), QStringLiteral("Secret9"), OtherHost);
    Params badPassword =
        LoginParams(QStringLiteral("M001"), QStringLiteral("01"), QStringLiteral("nope"), OtherHost);
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), badUser);
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), badPassword);
    QCOMPARE(badUser.value(QStringLiteral("RunState")), badPassword.value(QStringLiteral("RunState")));

    // Stored forms are compared exactly: a form that differs only in letter case is another password.
    const QString form = EncodePassword(QStringLiteral("Secret9"));
    QString swapped;
    for (QChar c : form)
        swapped += c.isUpper() ? c.toLower() : c.toUpper();
    QVERIFY(swapped != form);
    Params caseSwapped = LoginParams(QStringLiteral("M001"), QStringLiteral("01"), QString(), OtherHost);
    caseSwapped[QStringLiteral("Password")] = swapped;
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), caseSwapped);
    QCOMPARE(caseSwapped.value(QStringLiteral("RunState")), badPassword.value(QStringLiteral("RunState")));
}

void TestEmbedded::signInRecordsComputerThenUpdatesIt()
{
    TempDatabase temp;
    QSqlDatabase db = temp.db();
    AddSignInMerchants(db);
    const QDateTime start = QDateTime::currentDateTime().addSecs(-1);

    Params first = LoginParams(QStringLiteral("M001"), QStringLiteral("01"), QStringLiteral("Secret9"),
                               OtherHost, QStringLiteral("FRONT-PC"));
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), first);
    QCOMPARE(first.value(QStringLiteral("RunState")), QStringLiteral("0"));

    // The same computer under another name, another user.
    Params second = LoginParams(QStringLiteral("M001"), QStringLiteral("02"), QString(), OtherHost,
                                QStringLiteral("RENAMED-PC"));
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), second);
    QCOMPARE(second.value(QStringLiteral("RunState")), QStringLiteral("0"));

    QSqlQuery rows(db);
    QVERIFY(rows.exec(QStringLiteral("SELECT HostId, HostName, LastUser, LastDate FROM Sys_Login "
                                     "WHERE ShopNo = 'M001'")));
    QVERIFY(rows.next());
    QCOMPARE(rows.value(0).toString(), OtherHost);
    QCOMPARE(rows.value(1).toString(), QStringLiteral("RENAMED-PC"));
    QCOMPARE(rows.value(2).toString(), QStringLiteral("02"));
    const QDateTime lastDate =
        QDateTime::fromString(rows.value(3).toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QVERIFY2(lastDate.isValid() && lastDate >= start && lastDate <= QDateTime::currentDateTime(),
             qPrintable(rows.value(3).toString()));
    QVERIFY(!rows.next());

    // Once recorded, the computer stays allowed when the merchant locks sign-in; another one is kept out.
    Exec(db, QStringLiteral("UPDATE Sys_Shop SET Locked = 1 WHERE ShopNo = 'M001'"));
    Params again =
        LoginParams(QStringLiteral("M001"), QStringLiteral("01"), QStringLiteral("Secret9"), OtherHost);
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), again);
    QCOMPARE(again.value(QStringLiteral("RunState")), QStringLiteral("0"));
    Params stranger =
        LoginParams(QStringLiteral("M001"), QStringLiteral("01"), QStringLiteral("Secret9"), KnownHost);
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), stranger);
    QVERIFY(stranger.value(QStringLiteral("RunState")).contains(QStringLiteral("锁定")));
}

void TestEmbedded::procedureCalls_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<Params>("params");
    QTest::addColumn<bool>("throws");

    const Params login =
        LoginParams(QStringLiteral("M001"), QStringLiteral("01"), QStringLiteral("Secret9"), OtherHost);
    Params lowerNames;
    for (auto it = login.cbegin(); it != login.cend(); ++it)
        lowerNames.insert(it.key().toLower(), it.value());
    Params missingHost = login;
    missingHost.remove(QStringLiteral("HostId"));
    Params extra = login;
    extra.insert(QStringLiteral("Bogus"), QStringLiteral("1"));
    Params noOutputs = login;
    for (const char *name : {"ShopName", "AllName", "Action", "RunState"})
        noOutputs.remove(QString::fromLatin1(name));

    QTest::newRow("parameter names in any case") << "sp_sys_login" << lowerNames << false;
    QTest::newRow("outputs created when absent") << "Sp_Sys_Login" << noOutputs << false;
    QTest::newRow("unknown procedure") << "Sp_Sys_Logout" << login << true;
    QTest::newRow("input missing") << "Sp_Sys_Login" << missingHost << true;
    QTest::newRow("unknown parameter") << "Sp_Sys_Login" << extra << true;
}

void TestEmbedded::procedureCalls()
{
    QFETCH(QString, procedure);
    QFETCH(Params, params);
    QFETCH(bool, throws);

    TempDatabase temp;
    QSqlDatabase db = temp.db();
    AddSignInMerchants(db);
    QCOMPARE(EmbeddedServer::HasProcedure(procedure),
             procedure.compare("Sp_Sys_Login", Qt::CaseInsensitive) == 0);
    if (throws) {
        const Params before = params;
        QVERIFY_THROWS_EXCEPTION(DbError, EmbeddedServer::RunProcedure(db, procedure, params));
        QCOMPARE(params, before);
        return;
    }
    EmbeddedServer::RunProcedure(db, procedure, params);
    QString runState, action;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        if (it.key().compare(QLatin1String("RunState"), Qt::CaseInsensitive) == 0) runState = it.value();
        if (it.key().compare(QLatin1String("Action"), Qt::CaseInsensitive) == 0) action = it.value();
    }
    QCOMPARE(runState, QStringLiteral("0"));
    QCOMPARE(action, QStringLiteral("01,03,"));
    // Outputs are written under the caller's spelling, never as a second entry.
    QCOMPARE(params.size(), 9);
}

void TestEmbedded::signUpCreatesMerchantWithItsUser()
{
    TempDatabase temp;
    QSqlDatabase db = temp.db();
    QVERIFY(EmbeddedServer::HasProcedure(QStringLiteral("SP_SYS_REG")));
    Params params = RegParams(QStringLiteral("N100"), QStringLiteral("admin"), QStringLiteral("pass1"));
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Reg"), params);
    QCOMPARE(params.value(QStringLiteral("RunState")), QStringLiteral("0"));

    QSqlQuery shop(db);
    QVERIFY(shop.exec(
        QStringLiteral("SELECT ShopName, AllName, LinkPer, Tel, Address, State, Users, Locked, Admin "
                       "FROM Sys_Shop WHERE ShopNo = 'N100'")));
    QVERIFY(shop.next());
    QCOMPARE(shop.value(0).toString(), QStringLiteral("新申请汽配"));
    QCOMPARE(shop.value(1).toString(), QStringLiteral("新申请汽车配件有限公司"));
    QCOMPARE(shop.value(2).toString(), QStringLiteral("林小明"));
    QCOMPARE(shop.value(3).toString(), QStringLiteral("0755-83561234"));
    QCOMPARE(shop.value(4).toString(), QStringLiteral("深圳市福田区华强北路1号"));
    QCOMPARE(shop.value(5).toString(), QStringLiteral("待审核"));
    QCOMPARE(shop.value(6).toInt(), 1);
    QCOMPARE(shop.value(7).toInt(), 0);
    QCOMPARE(shop.value(8).toInt(), 0);

    QSqlQuery user(db);
    QVERIFY(user.exec(QStringLiteral("SELECT UserNo, Password, Action FROM Sys_User WHERE ShopNo = 'N100'")));
    QVERIFY(user.next());
    QCOMPARE(user.value(0).toString(), QStringLiteral("admin"));
    QCOMPARE(user.value(1).toString(), EncodePassword(QStringLiteral("pass1")));
    QCOMPARE(user.value(2).toString(), QStringLiteral("01,03,04,05,06,"));
    QVERIFY(!user.next());

    // Awaiting review: the new merchant cannot sign in yet; once online, its user can.
    Params login =
        LoginParams(QStringLiteral("N100"), QStringLiteral("admin"), QStringLiteral("pass1"), OtherHost);
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), login);
    QVERIFY(login.value(QStringLiteral("RunState")).contains(QStringLiteral("审核")));
    Exec(db, QStringLiteral("UPDATE Sys_Shop SET State = '已上线' WHERE ShopNo = 'N100'"));
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), login);
    QCOMPARE(login.value(QStringLiteral("RunState")), QStringLiteral("0"));
}

void TestEmbedded::signUpRefusesTakenNumber_data()
{
    QTest::addColumn<QString>("shopNo");
    QTest::newRow("same number") << "M001";
    QTest::newRow("other letter case") << "m001";
    QTest::newRow("platform administrator") << "0000";
}

void TestEmbedded::signUpRefusesTakenNumber()
{
    QFETCH(QString, shopNo);
    TempDatabase temp;
    QSqlDatabase db = temp.db();
    AddSignInMerchants(db);
    const QString shopsBefore =
        Scalar(db, QStringLiteral("SELECT group_concat(ShopNo || State || ShopName || "
                                  "IFNULL(AllName, '') || Users, '|') FROM Sys_Shop"))
            .toString();
    const QString usersBefore =
        Scalar(db, QStringLiteral(
                       "SELECT group_concat(ShopNo || UserNo || Password || Action, '|') FROM Sys_User"))
            .toString();

    Params params = RegParams(shopNo, QStringLiteral("07"));
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Reg"), params);
    const QString runState = params.value(QStringLiteral("RunState"));
    QVERIFY2(!runState.isEmpty() && runState != QLatin1String("0"), qPrintable(runState));

    QCOMPARE(
        Scalar(db, QStringLiteral("SELECT group_concat(ShopNo || State || ShopName || IFNULL(AllName, '') || "
                                  "Users, '|') FROM Sys_Shop"))
            .toString(),
        shopsBefore);
    QCOMPARE(Scalar(db, QStringLiteral(
                            "SELECT group_concat(ShopNo || UserNo || Password || Action, '|') FROM Sys_User"))
                 .toString(),
             usersBefore);
}

void TestEmbedded::signUpRollsBackWhenUserCannotBeWritten()
{
    TempDatabase temp;
    QSqlDatabase db = temp.db();
    Exec(db, QStringLiteral("CREATE TRIGGER RefuseUsers BEFORE INSERT ON Sys_User "
                            "BEGIN SELECT RAISE(ABORT, 'user rows refused'); END"));
    Params params = RegParams(QStringLiteral("N200"));
    try {
        EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Reg"), params);
        QFAIL("the failed insert must raise DbError");
    } catch (const DbError &error) {
        QVERIFY2(error.text().contains(QStringLiteral("user rows refused")), qPrintable(error.text()));
    }
    QCOMPARE(Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Shop WHERE ShopNo = 'N200'")), 0);

    // Nothing of the failed call stays open: the next sign-up goes through.
    Exec(db, QStringLiteral("DROP TRIGGER RefuseUsers"));
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Reg"), params);
    QCOMPARE(params.value(QStringLiteral("RunState")), QStringLiteral("0"));
    QCOMPARE(Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_User WHERE ShopNo = 'N200'")), 1);
}

void TestEmbedded::deletingMerchantRemovesItsData()
{
    TempDatabase temp;
    QSqlDatabase db = temp.db();
    EmbeddedServer::CreateDemoData(db);
    const char *const tables[] = {"Sys_User", "Sys_Login", "Sys_Stock"};
    QMap<QString, int> othersBefore;
    for (const char *table : tables) {
        const QString name = QString::fromLatin1(table);
        QVERIFY2(Count(db, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ShopNo = 'A001'").arg(name)) > 0,
                 table);
        othersBefore[name] =
            Count(db, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ShopNo <> 'A001'").arg(name));
    }

    // Deleted the way the merchant list writes it back: the merchant row alone.
    Exec(db, QStringLiteral("DELETE FROM Sys_Shop WHERE ShopNo = ?"), {QStringLiteral("A001")});
    for (const char *table : tables) {
        const QString name = QString::fromLatin1(table);
        QCOMPARE(Count(db, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ShopNo = 'A001'").arg(name)), 0);
        QCOMPARE(Count(db, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ShopNo <> 'A001'").arg(name)),
                 othersBefore[name]);
    }
}

void TestEmbedded::textComparisonIgnoresAsciiCase_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("expected");
    QTest::newRow("merchant number equality") << "SELECT COUNT(*) FROM Sys_Shop WHERE ShopNo = 'a001'" << 1;
    QTest::newRow("user key") << "SELECT COUNT(*) FROM Sys_User WHERE ShopNo = 'a002' AND UserNo = '01'" << 1;
    QTest::newRow("stock excludes own merchant in any case")
        << "SELECT COUNT(*) FROM Sys_Stock WHERE State = 1 AND ShopNo <> 'a001' AND ShopNo = 'A001'" << 0;
    QTest::newRow("brand LIKE") << "SELECT COUNT(*) > 0 FROM Sys_Stock WHERE Factory LIKE '%ngk%'" << 1;
    QTest::newRow("state texts") << "SELECT COUNT(*) FROM Sys_Shop WHERE State = '已屏蔽'" << 1;
    QTest::newRow("duplicate key in other case refused")
        << "INSERT INTO Sys_Shop (ShopNo) VALUES ('a001')" << -1;
    QTest::newRow("duplicate user in other case refused")
        << "INSERT INTO Sys_User (ShopNo, UserNo) VALUES ('a001', '01')" << -1;
}

void TestEmbedded::textComparisonIgnoresAsciiCase()
{
    QFETCH(QString, sql);
    QFETCH(int, expected);
    TempDatabase temp;
    QSqlDatabase db = temp.db();
    EmbeddedServer::CreateDemoData(db);
    QSqlQuery query(db);
    const bool ok = query.exec(sql);
    if (expected < 0) {
        QVERIFY(!ok);
        QVERIFY2(query.lastError().databaseText().contains(QLatin1String("UNIQUE")),
                 qPrintable(query.lastError().text()));
        return;
    }
    QVERIFY2(ok && query.next(), qPrintable(query.lastError().text()));
    QCOMPARE(query.value(0).toInt(), expected);
}

void TestEmbedded::demoSignIns_data()
{
    QTest::addColumn<QString>("shopNo");
    QTest::addColumn<QString>("userNo");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("runState");
    QTest::addColumn<QString>("action");

    const QString owner = QStringLiteral("01,03,04,05,06,");
    QTest::newRow("platform administrator") << "0000"
                                            << "01"
                                            << "admin"
                                            << "0"
                                            << "01,02,03,04,05,06,";
    QTest::newRow("A001 owner") << "A001"
                                << "01"
                                << "123456"
                                << "0" << owner;
    QTest::newRow("A001 clerk") << "A001"
                                << "02"
                                << ""
                                << "0"
                                << "01,03,";
    QTest::newRow("A002 owner") << "A002"
                                << "01"
                                << "123456"
                                << "0" << owner;
    QTest::newRow("A002 clerk") << "A002"
                                << "02"
                                << ""
                                << "0"
                                << "01,03,";
    QTest::newRow("A001 owner, wrong password") << "A001"
                                                << "01"
                                                << "654321"
                                                << "密码"
                                                << "";
    QTest::newRow("B001 awaiting review") << "B001"
                                          << "01"
                                          << "123456"
                                          << "审核"
                                          << "";
    QTest::newRow("C001 blocked") << "C001"
                                  << "01"
                                  << "123456"
                                  << "屏蔽"
                                  << "";
}

void TestEmbedded::demoSignIns()
{
    QFETCH(QString, shopNo);
    QFETCH(QString, userNo);
    QFETCH(QString, password);
    QFETCH(QString, runState);
    QFETCH(QString, action);

    TempDatabase temp;
    QSqlDatabase db = temp.db();
    EmbeddedServer::CreateDemoData(db);
    Params params = LoginParams(shopNo, userNo, password, OtherHost);
    EmbeddedServer::RunProcedure(db, QStringLiteral("Sp_Sys_Login"), params);
    const QString result = params.value(QStringLiteral("RunState"));
    if (runState == QLatin1String("0")) {
        QCOMPARE(result, runState);
        QVERIFY(!params.value(QStringLiteral("ShopName")).isEmpty());
        QVERIFY(!params.value(QStringLiteral("AllName")).isEmpty());
    } else {
        QVERIFY2(result != QLatin1String("0") && result.contains(runState), qPrintable(result));
    }
    QCOMPARE(params.value(QStringLiteral("Action")), action);
}

void TestEmbedded::demoStockFollowsMerchants()
{
    TempDatabase temp;
    QSqlDatabase db = temp.db();
    EmbeddedServer::CreateDemoData(db);

    const int merchants = Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Shop"));
    QVERIFY2(merchants >= 8 && merchants <= 14, qPrintable(QString::number(merchants)));
    for (const QString &state :
         {QStringLiteral("待审核"), QStringLiteral("已上线"), QStringLiteral("已屏蔽")})
        QVERIFY2(Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Shop WHERE State = ?"), {state}) > 0,
                 qPrintable(state));

    const int rows = Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Stock"));
    QVERIFY2(rows >= 20000 && rows <= 50000, qPrintable(QString::number(rows)));
    // Visible exactly when the merchant is online, held under the merchant's short name.
    QCOMPARE(
        Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Stock s JOIN Sys_Shop m ON m.ShopNo = s.ShopNo "
                                 "WHERE s.State <> (m.State = '已上线') OR s.ShopName IS NOT m.ShopName")),
        0);
    QVERIFY(Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Stock WHERE State = 0")) > 0);
    // Prices and quantities make sense; the alliance price is the lower one.
    QCOMPARE(Count(db, QStringLiteral(
                           "SELECT COUNT(*) FROM Sys_Stock WHERE NOT (PriceQen > 0 AND "
                           "PriceQen < PriceSale AND Qty > 0) OR GoodsName IS NULL OR GoodsNo IS NULL")),
             0);
    // Variety: many part names, brands, origins and models.
    QVERIFY(Count(db, QStringLiteral("SELECT COUNT(DISTINCT GoodsName) FROM Sys_Stock")) >= 30);
    QVERIFY(Count(db, QStringLiteral("SELECT COUNT(DISTINCT Factory) FROM Sys_Stock")) >= 15);
    QVERIFY(Count(db, QStringLiteral("SELECT COUNT(DISTINCT Base) FROM Sys_Stock")) >= 4);
    QVERIFY(Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Stock WHERE Model LIKE '%大众朗逸%'")) > 0);
    QVERIFY(Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Stock WHERE GoodsName = '火花塞' AND "
                                     "Factory = 'NGK'")) > 0);
    // The demo merchants carry contact data.
    QCOMPARE(Count(db, QStringLiteral(
                           "SELECT COUNT(*) FROM Sys_Shop WHERE IFNULL(AllName, '') = '' OR "
                           "IFNULL(Address, '') = '' OR IFNULL(Tel, '') = '' OR IFNULL(LinkPer, '') = ''")),
             0);
}

void TestEmbedded::generatedDataIsDeterministic()
{
    TempDatabase first, second, third;
    QSqlDatabase a = first.db(), b = second.db(), c = third.db();
    for (QSqlDatabase *db : {&a, &b, &c})
        EmbeddedServer::CreateDemoData(*db);
    QCOMPARE(StockChecksum(b), StockChecksum(a));

    EmbeddedServer::AddStock(a, 500, 7);
    EmbeddedServer::AddStock(b, 500, 7);
    EmbeddedServer::AddStock(c, 500, 8);
    QCOMPARE(StockChecksum(b), StockChecksum(a));
    QVERIFY(StockChecksum(c) != StockChecksum(a));
}

void TestEmbedded::addStockGoesToOnlineMembers()
{
    TempDatabase temp;
    QSqlDatabase db = temp.db();
    EmbeddedServer::CreateDemoData(db);
    const int before = Count(db, QStringLiteral("SELECT MAX(Id) FROM Sys_Stock"));
    EmbeddedServer::AddStock(db, 3000, 42);
    QCOMPARE(Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Stock WHERE Id > ?"), {before}), 3000);
    // Only online members that are not the platform administrator, visible, spread over all of them.
    QCOMPARE(Count(db,
                   QStringLiteral("SELECT COUNT(*) FROM Sys_Stock s JOIN Sys_Shop m ON m.ShopNo = s.ShopNo "
                                  "WHERE s.Id > ? AND (m.State <> '已上线' OR m.Admin = 1 OR s.State <> 1 "
                                  "OR s.ShopName IS NOT m.ShopName)"),
                   {before}),
             0);
    QCOMPARE(Count(db, QStringLiteral("SELECT COUNT(DISTINCT ShopNo) FROM Sys_Stock WHERE Id > ?"), {before}),
             Count(db, QStringLiteral("SELECT COUNT(*) FROM Sys_Shop WHERE State = '已上线' AND Admin = 0")));

    // Without any online member there is nowhere to put stock.
    TempDatabase empty;
    QSqlDatabase none = empty.db();
    Exec(none, QStringLiteral("UPDATE Sys_Shop SET State = '已屏蔽'"));
    QVERIFY_THROWS_EXCEPTION(DbError, EmbeddedServer::AddStock(none, 10, 1));
}

QTEST_MAIN(TestEmbedded)
#include "test_embedded.moc"
