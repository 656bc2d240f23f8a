// The settings file: path rule, Windows INI semantics, remembered sign-in numbers.
#include "foundation/SettingsIni.h"
#include "foundation/untPublic.h"
#include "tests/fixture/Fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <unistd.h>

class TestSettings : public QObject {
    Q_OBJECT

    static QByteArray ReadAll(const QString &path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private slots:
    void pathRule_data()
    {
        QTest::addColumn<QString>("exe");
        QTest::addColumn<QString>("settings");
        QTest::newRow("windows name") << "qen.exe"
                                      << "qen.tmp";
        QTest::newRow("first exe only") << "myexe.exe"
                                        << "mytmp.exe";
        QTest::newRow("case-sensitive") << "QEN.EXE"
                                        << "QEN.EXE.tmp";
        QTest::newRow("no exe") << "qen"
                                << "qen.tmp";
        QTest::newRow("exe inside") << "texedit"
                                    << "ttmpdit";
    }
    void pathRule()
    {
        QFETCH(QString, exe);
        QFETCH(QString, settings);
        QCOMPARE(SettingsFileName(exe), settings);
    }

    void settingsFileLivesInConfigDirectory()
    {
        QVERIFY(SystemDirPath().endsWith(QLatin1Char('/')));
        QVERIFY(!SystemDirPath().endsWith(QLatin1String("//")));
        QCOMPARE(SettingsFilePath(), SystemDirPath() + QStringLiteral("test_settings.tmp"));
    }

    void missingFileGivesDefaults()
    {
        QTemporaryDir dir;
        SettingsIni ini(dir.filePath(QStringLiteral("none.tmp")));
        QCOMPARE(ini.ReadString(QStringLiteral("Set"), QStringLiteral("ShopNo"), QString()), QString());
        QCOMPARE(ini.ReadInteger(QStringLiteral("Set"), QStringLiteral("Order"), 0), 0);
        QVERIFY(!QFile::exists(ini.FileName())); // reading never creates it
    }

    void keysSurviveEachOtherAndRestarts()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("qen.tmp"));
        {
            SettingsIni ini(path);
            ini.WriteInteger(QStringLiteral("Set"), QStringLiteral("Order"), 7);
            ini.WriteString(QStringLiteral("Set"), QStringLiteral("ShopNo"), QStringLiteral("A001"));
            ini.WriteString(QStringLiteral("Set"), QStringLiteral("UserNo"), QStringLiteral("01"));
            ini.WriteString(QStringLiteral("Other"), QStringLiteral("Name"), QStringLiteral("商户"));
            ini.WriteString(QStringLiteral("Set"), QStringLiteral("ShopNo"), QStringLiteral("A002"));
        }
        SettingsIni again(path);
        QCOMPARE(again.ReadInteger(QStringLiteral("Set"), QStringLiteral("Order"), 0), 7);
        QCOMPARE(again.ReadString(QStringLiteral("Set"), QStringLiteral("ShopNo"), QString()),
                 QStringLiteral("A002"));
        QCOMPARE(again.ReadString(QStringLiteral("Set"), QStringLiteral("UserNo"), QString()),
                 QStringLiteral("01"));
        QCOMPARE(again.ReadString(QStringLiteral("Other"), QStringLiteral("Name"), QString()),
                 QStringLiteral("商户"));
        // One line per key, GBK on disk, the file readable by the classic routines.
        const QByteArray bytes = ReadAll(path);
        QCOMPARE(bytes.count("ShopNo="), 1);
        QVERIFY(bytes.contains("ShopNo=A002\r\n"));
        QVERIFY(bytes.contains(QByteArray("Name=") + QByteArray("\xC9\xCC\xBB\xA7")));
    }

    void namesIgnoreCaseAndForeignLinesStay()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("qen.tmp"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            "; written by hand\r\n[set]\r\nshopno = B001\r\nOrder=abc\r\nExtra=1\r\n\r\n[Keep]\r\nX=y\r\n");
        f.close();
        SettingsIni ini(path);
        QCOMPARE(ini.ReadString(QStringLiteral("SET"), QStringLiteral("ShopNo"), QString()),
                 QStringLiteral("B001"));
        QCOMPARE(ini.ReadInteger(QStringLiteral("Set"), QStringLiteral("Order"), 3), 3); // not a number
        ini.WriteString(QStringLiteral("Set"), QStringLiteral("SHOPNO"), QStringLiteral("C001"));
        ini.WriteString(QStringLiteral("Set"), QStringLiteral("UserNo"), QStringLiteral("09"));
        const QByteArray bytes = ReadAll(path);
        QVERIFY(bytes.contains("; written by hand"));
        QVERIFY(bytes.contains("Extra=1"));
        QVERIFY(bytes.contains("[Keep]\r\nX=y"));
        QCOMPARE(bytes.count("C001"), 1);
        QVERIFY(!bytes.contains("B001"));
        // The new key lands in its own section, before the next one.
        QVERIFY(bytes.indexOf("UserNo=09") < bytes.indexOf("[Keep]"));
    }

    void refusedWriteNamesTheFile()
    {
        if (geteuid() == 0) QSKIP("root writes into read-only directories");
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        SettingsIni ini(dir.filePath(QStringLiteral("qen.tmp")));
        try {
            ini.WriteString(QStringLiteral("Set"), QStringLiteral("ShopNo"), QStringLiteral("A001"));
            QFAIL("the write should have been refused");
        } catch (const SettingsError &e) {
            QVERIFY(QString::fromUtf8(e.what()).contains(ini.FileName()));
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void refusedWriteWhereFileIsADirectory()
    {
        // Works as root too: the settings path is taken by a directory.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("qen.tmp"));
        QVERIFY(QDir().mkpath(path));
        SettingsIni ini(path);
        QVERIFY_THROWS_EXCEPTION(
            SettingsError, ini.WriteString(QStringLiteral("Set"), QStringLiteral("A"), QStringLiteral("1")));
        QVERIFY(QFileInfo(path).isDir());
    }

    void loadAndSaveLoginIds()
    {
        QFile::remove(settingsIni->FileName());
        LoadSettings();
        QCOMPARE(SysSet.ShopNo, QString());
        QCOMPARE(SysSet.UserNo, QString());
        QCOMPARE(SysSet.DbPort, QStringLiteral("1433"));
        QCOMPARE(SysSet.DbName, QStringLiteral("Darel"));
        QCOMPARE(SysSet.DbUser, QStringLiteral("Demo"));
        QCOMPARE(SysSet.DbPassword, QStringLiteral("Mbtk1974Mbtk"));
        QCOMPARE(SysSet.AppTitle, QStringLiteral("Tavrin经销商联盟库存共享系统"));
        settingsIni->WriteInteger(QStringLiteral("Set"), QStringLiteral("Order"), 5);
        SysSet.ShopNo = QStringLiteral("A001");
        SysSet.UserNo = QStringLiteral("01");
        SaveLoginIds();
        SysSet = TSysSet();
        LoadSettings();
        QCOMPARE(SysSet.ShopNo, QStringLiteral("A001"));
        QCOMPARE(SysSet.UserNo, QStringLiteral("01"));
        QCOMPARE(settingsIni->ReadInteger(QStringLiteral("Set"), QStringLiteral("Order"), 0), 5);
        const QByteArray bytes = ReadAll(settingsIni->FileName());
        QVERIFY(bytes.contains("[Set]\r\n"));
        QVERIFY(bytes.contains("ShopNo=A001\r\n"));
        QVERIFY(bytes.contains("UserNo=01\r\n"));
        QFile::remove(settingsIni->FileName());
    }
};

QEN_TEST_MAIN(TestSettings)
#include "test_settings.moc"
