// The data layer: statement adaptation, named parameters, reading, write-back, procedures,
// and the SQL Server path as far as it can run without a server.
#include "foundation/db/Connection.h"
#include "foundation/db/DbError.h"
#include "foundation/db/Query.h"
#include "foundation/db/Statement.h"
#include "foundation/db/StoredProc.h"
#include "foundation/ui/DBGrid.h"
#include "foundation/untPublic.h"
#include "tests/fixture/Fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>

class TestDataLayer : public QObject {
    Q_OBJECT
private slots:
    void adaptForEmbedded_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("adapted");
        QTest::newRow("top to limit at the end")
            << "SELECT TOP 200 ShopNo FROM Sys_Stock WHERE State=1\r\nORDER BY GoodsNo "
            << "SELECT ShopNo FROM Sys_Stock WHERE State=1\r\nORDER BY GoodsNo LIMIT 200";
        QTest::newRow("isnull") << "SELECT ISNULL(Admin,0) AS Admin FROM Sys_Shop"
                                << "SELECT IFNULL(Admin,0) AS Admin FROM Sys_Shop";
        QTest::newRow("lower case keywords") << "select top 5 * from t"
                                             << "select * from t LIMIT 5";
        QTest::newRow("literals untouched") << "SELECT 'TOP 1 ISNULL(' FROM t WHERE a='x''ISNULL('"
                                            << "SELECT 'TOP 1 ISNULL(' FROM t WHERE a='x''ISNULL('";
        QTest::newRow("word inside a name") << "SELECT MyISNULL(a) FROM t"
                                            << "SELECT MyISNULL(a) FROM t";
        QTest::newRow("verbatim otherwise") << "UPDATE Sys_User SET PassWord=:PassWord  WHERE ShopNo=:ShopNo"
                                            << "UPDATE Sys_User SET PassWord=:PassWord  WHERE ShopNo=:ShopNo";
    }
    void adaptForEmbedded()
    {
        QFETCH(QString, text);
        QFETCH(QString, adapted);
        QCOMPARE(Statement::AdaptForEmbedded(text), adapted);
    }

    void namedParametersToPositional()
    {
        const auto p = Statement::ToPositional(QStringLiteral(
            "SELECT * FROM t WHERE a=:A AND b LIKE :B OR c LIKE :a AND d='x:y' AND e='10:30'"));
        QCOMPARE(p.text, QStringLiteral(
                             "SELECT * FROM t WHERE a=? AND b LIKE ? OR c LIKE ? AND d='x:y' AND e='10:30'"));
        QCOMPARE(p.names, QStringList({"A", "B", "a"}));
        QCOMPARE(Statement::ToPositional(QStringLiteral("SELECT a::int, :1")).names, QStringList());
    }

    void queryReadsLinesParametersAndNulls()
    {
        FreshDb db;
        db.Exec(QStringLiteral("UPDATE Sys_Shop SET AllName=NULL, Admin=NULL WHERE ShopNo='A002'"));
        Query q(&db.Data()->rdConn);
        q.SQL << QStringLiteral("SELECT ShopNo, AllName, ISNULL(Admin,0) AS Admin, Users")
              << QStringLiteral("FROM Sys_Shop") << QStringLiteral("WHERE ShopNo=:ShopNo OR ShopNo=:Other")
              << QStringLiteral("ORDER BY ShopNo");
        QCOMPARE(q.StatementText().count(QLatin1String("\r\n")), 3);
        q.SetParam(QStringLiteral("shopno"), QStringLiteral("a001")); // names and values ignore case
        q.SetParam(QStringLiteral("Other"), QStringLiteral("A002"));
        q.Open();
        QCOMPARE(q.RecordCount(), 2);
        QCOMPARE(q.FieldText(QStringLiteral("ShopNo")), QStringLiteral("A001"));
        q.Next();
        QCOMPARE(q.FieldText(QStringLiteral("allname")), QStringLiteral("")); // NULL reads as empty
        QVERIFY(!q.FieldText(QStringLiteral("allname")).isNull());
        QCOMPARE(q.FieldBool(QStringLiteral("Admin")), false);
        q.Next();
        QVERIFY(q.Eof());
        QVERIFY_THROWS_EXCEPTION(DbError, q.FieldText(QStringLiteral("NoSuchField")));

        Query missing(&db.Data()->rdConn);
        missing.SQL << QStringLiteral("SELECT * FROM Sys_Shop WHERE ShopNo=:ShopNo");
        QVERIFY_THROWS_EXCEPTION(DbError, missing.Open()); // an unset parameter is an error, not NULL
        missing.SQL = QStringList{QStringLiteral("SELECT * FROM NoSuchTable")};
        try {
            missing.Open();
            QFAIL("no error");
        } catch (const DbError &e) {
            QVERIFY2(e.text().contains(QLatin1String("NoSuchTable")), qPrintable(e.text()));
        }
        QVERIFY(!missing.Active());
    }

    void booleanParameters()
    {
        FreshDb db;
        Query q(&db.Data()->rdConn);
        q.SQL << QStringLiteral("UPDATE Sys_Shop SET Locked=:Locked WHERE ShopNo=:ShopNo");
        q.SetParamBool(QStringLiteral("Locked"), true);
        q.SetParam(QStringLiteral("ShopNo"), QStringLiteral("A001"));
        q.ExecSQL();
        QCOMPARE(q.RowsAffected(), 1);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Locked FROM Sys_Shop WHERE ShopNo='A001'")).toInt(), 1);
        q.SetParamBool(QStringLiteral("Locked"), false);
        q.ExecSQL();
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Locked FROM Sys_Shop WHERE ShopNo='A001'")).toInt(), 0);
    }

    void writeBackUpdateInsertDelete()
    {
        FreshDb db;
        Query q(&db.Data()->rdConn);
        q.SQL << QStringLiteral("SELECT * FROM Sys_User WHERE ShopNo=:ShopNo ORDER BY UserNo");
        q.SetParam(QStringLiteral("ShopNo"), QStringLiteral("A001"));
        q.Open();
        q.SetUpdateTable(QStringLiteral("Sys_User"), {QStringLiteral("ShopNo"), QStringLiteral("UserNo")});
        const int users = q.RecordCount();
        QVERIFY(users >= 2);

        // Update, including the key itself, located by the values as read.
        q.First();
        q.Edit();
        q.SetField(QStringLiteral("UserNo"), QStringLiteral("91"));
        q.SetField(QStringLiteral("UserName"), QStringLiteral("新名字"));
        q.Post();
        QCOMPARE(
            db.Scalar(QStringLiteral("SELECT UserName FROM Sys_User WHERE ShopNo='A001' AND UserNo='91'"))
                .toString(),
            QStringLiteral("新名字"));
        QCOMPARE(
            db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_User WHERE ShopNo='A001' AND UserNo='01'"))
                .toInt(),
            0);
        // Another merchant's user of the same number is untouched.
        QCOMPARE(
            db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_User WHERE ShopNo='A002' AND UserNo='01'"))
                .toInt(),
            1);

        // Insert writes the columns that were set.
        q.Append();
        QCOMPARE(q.GetState(), Query::State::Insert);
        q.SetField(QStringLiteral("ShopNo"), QStringLiteral("A001"));
        q.SetField(QStringLiteral("UserNo"), QStringLiteral("77"));
        q.SetField(QStringLiteral("UserName"), QStringLiteral("新用户"));
        q.SetField(QStringLiteral("Password"), QStringLiteral("{x}"));
        q.SetField(QStringLiteral("Action"), QStringLiteral(""));
        q.Post();
        QCOMPARE(q.RecordCount(), users + 1);
        QCOMPARE(q.RecNo(), users);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Action FROM Sys_User WHERE ShopNo='A001' AND UserNo='77'")),
                 QVariant(QStringLiteral("")));

        // The inserted row can be edited and deleted in the same list.
        q.Edit();
        q.SetField(QStringLiteral("UserName"), QStringLiteral("改过"));
        q.Post();
        q.Delete();
        QCOMPARE(q.RecordCount(), users);
        QCOMPARE(
            db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_User WHERE ShopNo='A001' AND UserNo='77'"))
                .toInt(),
            0);
    }

    void onlyChangedColumnsAreWritten()
    {
        FreshDb db;
        Query q(&db.Data()->rdConn);
        q.SQL << QStringLiteral("SELECT * FROM Sys_Shop WHERE ShopNo=:ShopNo");
        q.SetParam(QStringLiteral("ShopNo"), QStringLiteral("A001"));
        q.Open();
        q.SetUpdateTable(QStringLiteral("Sys_Shop"), {QStringLiteral("ShopNo")});
        // Someone else changes the address meanwhile; our edit of Tel must not undo it.
        db.Exec(QStringLiteral("UPDATE Sys_Shop SET Address='新地址' WHERE ShopNo='A001'"));
        q.Edit();
        q.SetField(QStringLiteral("Tel"), QStringLiteral("010-1234"));
        q.Post();
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Address FROM Sys_Shop WHERE ShopNo='A001'")).toString(),
                 QStringLiteral("新地址"));
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Tel FROM Sys_Shop WHERE ShopNo='A001'")).toString(),
                 QStringLiteral("010-1234"));
    }

    void rowGoneMeanwhileIsAnError()
    {
        FreshDb db;
        Query q(&db.Data()->rdConn);
        q.SQL << QStringLiteral("SELECT * FROM Sys_Login WHERE ShopNo=:ShopNo ORDER BY HostId");
        db.Exec(QStringLiteral("INSERT INTO Sys_Login (ShopNo, HostId, HostName, LastUser) VALUES "
                               "('A002','H1','pc1','01'),('A002','H2','pc2','01')"));
        q.SetParam(QStringLiteral("ShopNo"), QStringLiteral("A002"));
        q.Open();
        q.SetUpdateTable(QStringLiteral("Sys_Login"), {QStringLiteral("ShopNo"), QStringLiteral("HostId")});
        QCOMPARE(q.RecordCount(), 2);
        db.Exec(QStringLiteral("DELETE FROM Sys_Login WHERE HostId='H1'"));
        QVERIFY_THROWS_EXCEPTION(DbError, q.Delete());
        QCOMPARE(q.RecordCount(), 2); // the list keeps the row it could not delete
        q.Edit();
        q.SetField(QStringLiteral("HostName"), QStringLiteral("pc9"));
        QVERIFY_THROWS_EXCEPTION(DbError, q.Post());
        QCOMPARE(q.GetState(), Query::State::Edit); // the pending edit is not lost
        q.Cancel();
        QCOMPARE(q.FieldText(QStringLiteral("HostName")), QStringLiteral("pc1"));
        q.Next();
        q.Delete();
        QCOMPARE(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_Login WHERE ShopNo='A002'")).toInt(), 0);
    }

    void cancelRestoresTheRow()
    {
        FreshDb db;
        Query q(&db.Data()->rdConn);
        q.SQL << QStringLiteral("SELECT * FROM Sys_Shop ORDER BY ShopNo");
        q.Open();
        q.SetUpdateTable(QStringLiteral("Sys_Shop"), {QStringLiteral("ShopNo")});
        const int count = q.RecordCount();
        const QString name = q.FieldText(QStringLiteral("AllName"));
        q.Edit();
        q.SetField(QStringLiteral("AllName"), QStringLiteral("临时"));
        q.Cancel();
        QCOMPARE(q.FieldText(QStringLiteral("AllName")), name);
        QCOMPARE(q.GetState(), Query::State::Browse);
        q.Append();
        q.Cancel();
        QCOMPARE(q.RecordCount(), count);
        QCOMPARE(
            db.Scalar(QStringLiteral("SELECT AllName FROM Sys_Shop WHERE ShopNo=?"), {q.FieldText("ShopNo")})
                .toString(),
            q.FieldText(QStringLiteral("AllName")));
    }

    void cancelUnderAGridDropsTheNewRow()
    {
        // The grid moves its selection as the new row disappears; that must not post it.
        FreshDb db;
        Query q(&db.Data()->rdConn);
        q.SQL << QStringLiteral("SELECT * FROM Sys_User WHERE ShopNo=:ShopNo ORDER BY UserNo");
        q.SetParam(QStringLiteral("ShopNo"), QStringLiteral("A001"));
        q.Open();
        q.SetUpdateTable(QStringLiteral("Sys_User"), {QStringLiteral("ShopNo"), QStringLiteral("UserNo")});
        TDBGrid grid(&q, {MakeColumn(QStringLiteral("UserNo"), QStringLiteral("编号"), 80)});
        grid.show();
        const int count = q.RecordCount();
        q.Append();
        q.SetField(QStringLiteral("UserName"), QStringLiteral("半途"));
        QCOMPARE(grid.View()->currentIndex().row(), count);
        Messages().Clear();
        q.Cancel();
        QCOMPARE(q.RecordCount(), count);
        QCOMPARE(q.GetState(), Query::State::Browse);
        QCOMPARE(grid.View()->currentIndex().row(), count - 1);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM Sys_User WHERE ShopNo='A001'")).toInt(), count);
        QCOMPARE(Messages().Count(), 0);
    }

    void everyClientStatementRunsEmbedded_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QStringList>("params"); // name=value pairs; "!" marks a boolean
        QTest::addColumn<bool>("rows");
        const QStringList shop{"ShopNo=A001"};
        QTest::newRow("all shops") << "SELECT * FROM Sys_Shop" << QStringList() << true;
        QTest::newRow("shops ordered") << "SELECT * FROM Sys_Shop ORDER BY ShopNo" << QStringList() << true;
        QTest::newRow("pending") << "SELECT * FROM Sys_Shop WHERE State='待审核' ORDER BY ShopNo"
                                 << QStringList() << true;
        QTest::newRow("online") << "SELECT * FROM Sys_Shop WHERE State='已上线' ORDER BY ShopNo"
                                << QStringList() << true;
        QTest::newRow("blocked") << "SELECT * FROM Sys_Shop WHERE State='已屏蔽' ORDER BY ShopNo"
                                 << QStringList() << true;
        QTest::newRow("one shop") << "SELECT * FROM Sys_Shop WHERE ShopNo=:ShopNo" << shop << true;
        QTest::newRow("admin flag") << "SELECT ISNULL(Admin,0) AS Admin FROM Sys_Shop WHERE ShopNo=:ShopNo"
                                    << shop << true;
        QTest::newRow("lock flag") << "SELECT ISNULL(Locked,0) AS Locked FROM Sys_Shop WHERE ShopNo=:ShopNo"
                                   << shop << true;
        QTest::newRow("set lock") << "UPDATE Sys_Shop SET Locked=:Locked WHERE ShopNo=:ShopNo"
                                  << QStringList{"!Locked=1", "ShopNo=A001"} << false;
        QTest::newRow("stock state") << "UPDATE Sys_Stock SET State=:State WHERE ShopNo=:ShopNo"
                                     << QStringList{"!State=1", "ShopNo=A001"} << false;
        QTest::newRow("stock search")
            << "SELECT TOP 200 "
               "ShopNo,ShopName,GoodsNo,OemNo,GoodsName,Model,Base,Factory,Unit,Qty,PriceSale,PriceQen "
               "FROM Sys_Stock WHERE State=1 AND ShopNo<>:ShopNo \r\nORDER BY GoodsNo"
            << shop << true;
        QTest::newRow("users") << "SELECT * FROM Sys_User WHERE ShopNo=:ShopNo ORDER BY UserNo" << shop
                               << true;
        QTest::newRow("hosts") << "SELECT * FROM Sys_Login WHERE ShopNo=:ShopNo ORDER BY HostId" << shop
                               << true;
        QTest::newRow("password") << "SELECT PassWord FROM Sys_User WHERE ShopNo=:ShopNo AND UserNo=:UserNo"
                                  << QStringList{"ShopNo=A001", "UserNo=01"} << true;
        QTest::newRow("set password")
            << "UPDATE Sys_User SET PassWord=:PassWord  WHERE ShopNo=:ShopNo AND UserNo=:UserNo"
            << QStringList{"PassWord={'x'}", "ShopNo=A001", "UserNo=01"} << false;
    }
    void everyClientStatementRunsEmbedded()
    {
        QFETCH(QString, statement);
        QFETCH(QStringList, params);
        QFETCH(bool, rows);
        FreshDb db;
        Query q(&db.Data()->rdConn);
        q.SQL = statement.split(QStringLiteral("\r\n"));
        for (QString p : params) {
            const bool flag = p.startsWith(QLatin1Char('!'));
            if (flag) p.remove(0, 1);
            const QString name = p.section(QLatin1Char('='), 0, 0), value = p.section(QLatin1Char('='), 1);
            if (flag)
                q.SetParamBool(name, value == QLatin1String("1"));
            else
                q.SetParam(name, value);
        }
        if (rows) {
            q.Open();
            QVERIFY(q.RecordCount() > 0);
        } else {
            q.ExecSQL();
            QVERIFY(q.RowsAffected() > 0);
        }
    }

    void stockVisibilityFollowsTheStatement()
    {
        FreshDb db;
        const QString visible =
            QStringLiteral("SELECT COUNT(*) FROM Sys_Stock WHERE ShopNo='A002' AND State=1");
        const int before = db.Scalar(visible).toInt();
        QVERIFY(before > 0);
        Query q(&db.Data()->rdConn);
        q.SQL << QStringLiteral("UPDATE Sys_Stock SET State=:State WHERE ShopNo=:ShopNo");
        q.SetParamBool(QStringLiteral("State"), false);
        q.SetParam(QStringLiteral("ShopNo"), QStringLiteral("A002"));
        q.ExecSQL();
        QCOMPARE(db.Scalar(visible).toInt(), 0);
        q.SetParamBool(QStringLiteral("State"), true);
        q.ExecSQL();
        QCOMPARE(db.Scalar(visible).toInt(), before);
    }

    void embeddedProcedureThroughStoredProc()
    {
        FreshDb db;
        StoredProc &proc = db.Data()->rdProc;
        proc.Close();
        proc.StoredProcName = QStringLiteral("Sp_Sys_Login");
        proc.SetParam(QStringLiteral("ShopNo"), QStringLiteral("A001"));
        proc.SetParam(QStringLiteral("UserNo"), QStringLiteral("01"));
        proc.SetParam(QStringLiteral("Password"), EncodePassword(QStringLiteral("123456")));
        proc.SetParam(QStringLiteral("HostId"), HostIdentity());
        proc.SetParam(QStringLiteral("HostName"), LocalComputerName());
        for (const char *out : {"ShopName", "AllName", "Action", "RunState"})
            proc.SetParam(QLatin1String(out), QString(), StoredProc::Direction::InOut);
        proc.ExecProc();
        QCOMPARE(TrimText(proc.ParamText(QStringLiteral("RunState"))), QStringLiteral("0"));
        QCOMPARE(proc.ParamText(QStringLiteral("Action")), QStringLiteral("01,03,04,05,06,"));
        proc.StoredProcName = QStringLiteral("Sp_No_Such");
        QVERIFY_THROWS_EXCEPTION(DbError, proc.ExecProc());
    }

    void serverCallTextFromCatalogue()
    {
        // sp_sproc_columns answers @RETURN_VALUE (type 5) first, then the parameters as declared.
        const QList<QPair<QString, int>> catalogue{
            {"@RETURN_VALUE", 5}, {"@UserNo", 1}, {"@ShopNo", 1}, {"@RunState", 2}, {"@Password", 1}};
        const QStringList order = StoredProc::OrderFromCatalogue(catalogue);
        QCOMPARE(order, QStringList({"UserNo", "ShopNo", "RunState", "Password"}));
        QCOMPARE(StoredProc::CallText(QStringLiteral("Sp_Sys_Reg"), order.size()),
                 QStringLiteral("{CALL Sp_Sys_Reg(?,?,?,?)}"));
    }

    void serverStatementsGoUnchanged()
    {
        Connection server;
        server.Server = QStringLiteral("10.1.2.3");
        Query q(&server);
        q.SQL << QStringLiteral("SELECT TOP 200 ISNULL(Admin,0) FROM Sys_Shop WHERE ShopNo=:ShopNo ");
        QCOMPARE(q.EngineText(), q.StatementText());
    }

    void connectionString()
    {
        QCOMPARE(Connection::OdbcConnectionString(QStringLiteral("192.168.1.10"), 1433,
                                                  QStringLiteral("Darel"), QStringLiteral("Demo"),
                                                  QStringLiteral("Mbtk1974Mbtk"), 5),
                 QStringLiteral("DRIVER={FreeTDS};SERVER=192.168.1.10;PORT=1433;DATABASE=Darel;UID=Demo;"
                                "PWD=Mbtk1974Mbtk;TDS_Version=7.4;ClientCharset=UTF-8;Timeout=5;"));
        // A password with ';' or braces can't break out of its value.
        QVERIFY(Connection::OdbcConnectionString("h", 1, "d", "u", "a;b}c", 5).contains("PWD={a;b}}c};"));
    }

    void deadServerIsReportedPromptly()
    {
        if (!QFile::exists(QStringLiteral("/etc/odbcinst.ini")) ||
            !QString::fromUtf8([] {
                 QFile f(QStringLiteral("/etc/odbcinst.ini"));
                 f.open(QIODevice::ReadOnly);
                 return f.readAll();
             }())
                 .contains(QLatin1String("[FreeTDS]")))
            QSKIP("the FreeTDS ODBC driver is not registered");
        // A listener that accepts and never answers: only the login timeout ends the wait.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        for (quint16 port : {quint16(1), silent.serverPort()}) {
            Connection server;
            server.Server = QStringLiteral("127.0.0.1");
            server.Port = port;
            server.Database = QStringLiteral("Darel");
            server.Username = QStringLiteral("Demo");
            server.Password = QStringLiteral("x");
            server.LoginTimeoutSeconds = 2;
            QElapsedTimer timer;
            timer.start();
            try {
                server.Open();
                QFAIL("connected to nothing");
            } catch (const DbError &e) {
                QVERIFY2(!e.text().isEmpty(), "the driver's text is carried");
            }
            QVERIFY2(timer.elapsed() < 30000, qPrintable(QString::number(timer.elapsed())));
            QVERIFY(!server.Connected());
        }
    }

    void interruptedCreationIsRedone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.db"));
        QFile empty(path);
        QVERIFY(empty.open(QIODevice::WriteOnly)); // an empty file, as a crash might leave
        empty.close();
        QFile(path + QStringLiteral(".part")).open(QIODevice::WriteOnly);
        Connection c;
        c.SetEmbeddedPath(path);
        c.Open();
        Query q(&c);
        q.SQL << QStringLiteral("SELECT COUNT(*) AS N FROM Sys_Shop WHERE ShopNo='0000'");
        q.Open();
        QCOMPARE(q.FieldInt(QStringLiteral("N")), 1);
        QVERIFY(!QFile::exists(path + QStringLiteral(".part")));
    }
};

QEN_TEST_MAIN(TestDataLayer)
#include "test_datalayer.moc"
