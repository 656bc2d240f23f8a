// The operator's tool, run as a separate process the way an operator runs it.
#include "tests/fixture/Fixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cpuid.h>
#include <iconv.h>

namespace {

QString Tool()
{
    return qEnvironmentVariable("QEN_TEST_BINARY_DIR") + QStringLiteral("/qenadmin");
}

struct Result {
    int code;
    QString out;
    QString err;
};

Result Run(const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(Tool(), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(p.readAllStandardError())};
}

// An independent statement of the stored form: glibc's iconv for GBK, the XOR and the
// literal notation written out plainly.
QString ReferenceForm(const QString &password)
{
    QByteArray utf8 = password.toUtf8();
    std::string gbk(utf8.size() * 2 + 4, '\0');
    iconv_t cd = iconv_open("GBK", "UTF-8");
    char *in = utf8.data(), *out = gbk.data();
    size_t inLeft = utf8.size(), outLeft = gbk.size();
    iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    gbk.resize(gbk.size() - outLeft);
    if (gbk.empty()) gbk = "30417265831950";
    const unsigned char key[] = {'5', 0xCA, 0xFD, 0xBE, 0xDD, 'Q', 'm'};
    std::string form = "{";
    bool quoted = false;
    for (size_t i = 0; i < gbk.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(gbk[i]) ^ key[i % 7];
        const bool printable = b >= 32 && b <= 127;
        if (printable && !quoted) form += '\'';
        if (!printable && quoted) form += '\'';
        quoted = printable;
        if (printable) {
            form += char(b);
            if (b == '\'') form += '\'';
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "#$%X", b);
            form += hex;
        }
    }
    if (quoted) form += '\'';
    return QString::fromLatin1(form + "}");
}

} // namespace

class TestQenAdmin : public QObject {
    Q_OBJECT
private slots:
    void encodePasswordAgreesWithReference()
    {
        QStringList passwords{"", "admin", "123456", "it's", "密码", "汽配 联盟", "€uro", "30417265831950"};
        // Random GBK passwords: ASCII and common Chinese characters.
        QRandomGenerator rng(20171);
        for (int n = 0; n < 40; ++n) {
            QString p;
            const int len = 1 + rng.bounded(12);
            for (int i = 0; i < len; ++i)
                p += rng.bounded(3) == 0 ? QChar(0x4E00 + rng.bounded(0x5000)) : QChar(33 + rng.bounded(94));
            passwords << p;
        }
        for (const QString &p : passwords) {
            const Result r = Run({QStringLiteral("encode-password"), p});
            QCOMPARE(r.code, 0);
            QCOMPARE(r.out, ReferenceForm(p));
        }
    }

    void wrongCallsExitWithTwo_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList();
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("missing text") << QStringList{"encode-password"};
        QTest::newRow("two texts") << QStringList{"encode-password", "a", "b"};
        QTest::newRow("not GBK") << QStringList{"encode-password", "pass😀"};
        QTest::newRow("host-id with argument") << QStringList{"host-id", "x"};
        QTest::newRow("demo-data without count") << QStringList{"demo-data", "/tmp/x.db"};
    }
    void wrongCallsExitWithTwo()
    {
        QFETCH(QStringList, args);
        const Result r = Run(args);
        QCOMPARE(r.code, 2);
        QVERIFY(!r.err.isEmpty());
        QVERIFY(r.out.isEmpty());
    }

    void hostIdIsCpuidLeafOne()
    {
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        QVERIFY(__get_cpuid(1, &eax, &ebx, &ecx, &edx));
        const Result r = Run({QStringLiteral("host-id")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("%1%2")
                            .arg(edx, 8, 16, QLatin1Char('0'))
                            .arg(eax, 8, 16, QLatin1Char('0'))
                            .toUpper());
    }

    void databaseCommands()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("alliance.db"));
        QCOMPARE(Run({QStringLiteral("init-db"), path}).code, 0);
        QCOMPARE(Run({QStringLiteral("init-db"), path}).code, 2); // never overwrites

        const Result added =
            Run({QStringLiteral("demo-data"), path, QStringLiteral("--stock"), QStringLiteral("500")});
        QCOMPARE(added.code, 0);

        const Result set =
            Run({QStringLiteral("set-password"), path, QStringLiteral("A001"), QStringLiteral("01")},
                QByteArray("新密码9\n"));
        QCOMPARE(set.code, 0);
        const Result nobody =
            Run({QStringLiteral("set-password"), path, QStringLiteral("A001"), QStringLiteral("99")},
                QByteArray("x\n"));
        QCOMPARE(nobody.code, 2);
        const Result filler =
            Run({QStringLiteral("set-password"), path, QStringLiteral("A001"), QStringLiteral("01")},
                QByteArray("30417265831950\n"));
        QCOMPARE(filler.code, 2);

        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        {
            QSqlQuery q(db);
            QVERIFY(
                q.exec(QStringLiteral("SELECT PassWord FROM Sys_User WHERE ShopNo='A001' AND UserNo='01'")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), ReferenceForm(QStringLiteral("新密码9")));
            QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM Sys_Stock")));
            QVERIFY(q.next());
            QVERIFY(q.value(0).toInt() >= 500);
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
    }
};

QEN_TEST_MAIN(TestQenAdmin)
#include "test_qenadmin.moc"
