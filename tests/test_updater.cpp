// The updater against a real HTTP server on 127.0.0.1: what it offers, what it installs, what it
// refuses, and that it leaves the program file whole whatever the server does.
#include "fixture/Fixture.h"
#include "fixture/HttpTestServer.h"
#include "shell/untUpdater.h"
#include "shell/update/ProgramFile.h"
#include "shell/update/UpdateCrypto.h"
#include "shell/update/UpdateInfo.h"
#include "shell/update/UpdateVersion.h"

#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

Q_DECLARE_METATYPE(HttpTestServer::Response)

using Kind = MessagePresenter::Kind;
using State = UpdateClient::State;

namespace {

const QString kInfoPath = QStringLiteral("/download/qen/demo/qen/qen.inf");
const QString kProgramPath = QStringLiteral("/download/qen/demo/qen/qen.exe");
const QByteArray kOldProgram = "#!/bin/sh\necho old build\n";

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(data), data.size());
}

QByteArray RandomBuild(int bytes)
{
    QByteArray data(bytes, '\0');
    QRandomGenerator generator(4711);
    for (char &c : data)
        c = char(generator.bounded(256));
    return "NEW BUILD " + data;
}

QByteArray Flipped(QByteArray data, qsizetype at)
{
    data[at] = char(data[at] ^ 0x01);
    return data;
}

bool Finished(const UpdateClient *client)
{
    return client->state() == State::Finished || client->state() == State::Installed;
}

} // namespace

class TestUpdater : public QObject {
    Q_OBJECT

    UpdateKeyPair m_key = GenerateUpdateKeyPair();
    QByteArray m_build = RandomBuild(300 * 1024);
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<HttpTestServer> m_server;
    QString m_program;
    QStringList m_restarts;

    UpdateInfo SignedInfo(const QString &version, const QByteArray &build, const QByteArray &secretKey) const
    {
        UpdateInfo info;
        info.version = version;
        info.date = QStringLiteral("09/30/2017");
        info.SignFile(build, secretKey);
        return info;
    }

    // Serves a correctly signed info file for version and the build.
    void Publish(const QString &version)
    {
        m_server->Serve(kInfoPath, SignedInfo(version, m_build, m_key.secretKey).Format());
        m_server->Serve(kProgramPath, m_build);
    }

    std::unique_ptr<TUpdater> MakeUpdater()
    {
        auto updater = std::make_unique<TUpdater>();
        UpdateClient *client = updater->Client();
        client->infoUrl = m_server->Url(kInfoPath);
        client->programUrl = m_server->Url(kProgramPath);
        client->programPath = m_program;
        client->publicKey = m_key.publicKey;
        client->startDelayMs = 10;
        client->checkIntervalMs = 50;
        client->connectTimeoutMs = 40;
        client->transferTimeoutMs = 5000;
        updater->SetRestartHandler([this](const QString &path) { m_restarts << path; });
        return updater;
    }

    // Starts an updater and waits until its one check is over and its messages have been shown.
    std::unique_ptr<TUpdater> RunUpdate()
    {
        auto updater = MakeUpdater();
        updater->Start();
        const UpdateClient *client = updater->Client();
        if (!QTest::qWaitFor([client] { return Finished(client); }, 10000)) return nullptr;
        QCoreApplication::sendPostedEvents(); // the widget side's queued reactions
        return updater;
    }

    void VerifyProgramUntouched()
    {
        QCOMPARE(ReadAll(m_program), kOldProgram);
        QVERIFY(QFileInfo(m_program).isExecutable());
        QVERIFY(!QFile::exists(StagingPath(m_program)));
        QVERIFY(!QFile::exists(BackupPath(m_program)));
    }

    QList<Kind> Kinds() const
    {
        QList<Kind> kinds;
        for (const auto &m : Messages().messages)
            kinds << m.kind;
        return kinds;
    }

private slots:
    void init()
    {
        Messages().Clear();
        m_restarts.clear();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_program = m_dir->filePath(QStringLiteral("qen"));
        WriteAll(m_program, kOldProgram);
        QFile::setPermissions(m_program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_server = std::make_unique<HttpTestServer>();
        QVERIFY(m_server->Listen());
    }

    void cleanup()
    {
        m_server.reset();
        m_dir.reset();
    }

    void versionOrder_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("release above its beta") << "1.1"
                                                << "1.1.Beta" << 1;
        QTest::newRow("same beta") << "1.1.Beta"
                                   << "1.1.Beta" << 0;
        QTest::newRow("label case ignored") << "1.1.beta"
                                            << "1.1.Beta" << 0;
        QTest::newRow("dash label same as dot label") << "1.1-Beta"
                                                      << "1.1.Beta" << 0;
        QTest::newRow("numbers not text") << "1.10"
                                          << "1.9" << 1;
        QTest::newRow("leading zeros") << "01.02"
                                       << "1.2" << 0;
        QTest::newRow("missing parts are zero") << "1.1"
                                                << "1.1.0" << 0;
        QTest::newRow("patch above release") << "1.1.1"
                                             << "1.1" << 1;
        QTest::newRow("patch beta above release") << "1.1.1.Beta"
                                                  << "1.1" << 1;
        QTest::newRow("next minor beta above beta") << "1.2.Beta"
                                                    << "1.1.Beta" << 1;
        QTest::newRow("older release below beta") << "1.0"
                                                  << "1.1.Beta" << -1;
        QTest::newRow("major wins") << "2"
                                    << "1.99.99" << 1;
        QTest::newRow("alpha below beta") << "1.1.Alpha"
                                          << "1.1.Beta" << -1;
        QTest::newRow("beta below rc") << "1.1.Beta"
                                       << "1.1.RC" << -1;
        QTest::newRow("beta below beta.2") << "1.1.Beta"
                                           << "1.1.Beta.2" << -1;
        QTest::newRow("beta.2 below beta.10") << "1.1.Beta.2"
                                              << "1.1.Beta.10" << -1;
        QTest::newRow("number label below word") << "1.1-2"
                                                 << "1.1-Beta" << -1;
        QTest::newRow("huge number, no overflow") << "99999999999999999999999.0"
                                                  << "99999999999999999999998.9" << 1;
    }

    void versionOrder()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(CompareVersions(a, b), order);
        QCOMPARE(CompareVersions(b, a), -order);
        QCOMPARE(IsNewerVersion(a, b), order > 0);
    }

    void notVersions_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *text :
             {"", "Beta", "v1.2", "1..2", ".1", "1.", "1.1-", "1.1.Beta..2", " 1.2", "1,2"})
            QTest::newRow(text) << QString::fromLatin1(text);
    }

    void notVersions()
    {
        QFETCH(QString, text);
        QVERIFY(!IsValidVersion(text));
        QVERIFY(!IsNewerVersion(text, QStringLiteral("1.1.Beta")));
        QVERIFY(IsNewerVersion(QStringLiteral("0.1"), text)); // a valid one sorts above
    }

    void infoFileRoundTrip()
    {
        const UpdateInfo info = SignedInfo(QStringLiteral("1.2"), m_build, m_key.secretKey);
        QString error;
        const auto read = ParseUpdateInfo(info.Format(), &error);
        QVERIFY2(read, qPrintable(error));
        QCOMPARE(read->version, info.version);
        QCOMPARE(read->date, info.date);
        QCOMPARE(read->size, qint64(m_build.size()));
        QCOMPARE(read->sha256, Sha256(m_build));
        QVERIFY(read->SignatureValid(m_key.publicKey));
        QVERIFY(!read->SignatureValid(GenerateUpdateKeyPair().publicKey));

        // Written by hand: CR LF, comments, other case, unknown keys and other sections are fine.
        QByteArray text =
            "# hand made\r\n[Other]\r\nVersion=9\r\n[UPDATE]\r\nversion = 1.2\r\nDATE=09/30/2017\r\n"
            "size=" +
            QByteArray::number(info.size) + "\r\nSHA256=" + info.sha256.toHex().toUpper() +
            "\r\nNote=anything\r\nsignature=" + info.signature.toBase64() + "\r\n";
        const auto manual = ParseUpdateInfo(text, &error);
        QVERIFY2(manual, qPrintable(error));
        QVERIFY(manual->SignatureValid(m_key.publicKey));
    }

    // Every signed field is covered: changing any one of them breaks the signature.
    void signatureCoversEveryField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("version") << "Version" << QByteArray("9.0");
        QTest::newRow("date") << "Date" << QByteArray("01/01/2030");
        QTest::newRow("size") << "Size" << QByteArray("1000");
        QTest::newRow("hash") << "Sha256" << Sha256("other build").toHex();
    }

    void signatureCoversEveryField()
    {
        QFETCH(QString, field);
        QFETCH(QByteArray, value);
        QByteArray text = SignedInfo(QStringLiteral("1.2"), m_build, m_key.secretKey).Format();
        const QByteArray key = field.toLatin1() + '=';
        const qsizetype at = text.indexOf('\n' + key) + 1;
        QVERIFY(at > 0);
        text.replace(at, text.indexOf('\n', at) - at, key + value);
        const auto info = ParseUpdateInfo(text);
        QVERIFY(info);
        QVERIFY(!info->SignatureValid(m_key.publicKey));
    }

    void unreadableInfoFiles_data()
    {
        const UpdateInfo good = SignedInfo(QStringLiteral("1.2"), m_build, m_key.secretKey);
        const QByteArray text = good.Format();
        auto without = [&](const QByteArray &key) {
            QByteArray t = text;
            const qsizetype at = t.indexOf('\n' + key + '=') + 1;
            return t.remove(at, t.indexOf('\n', at) - at + 1);
        };
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("html error page") << QByteArray("<html><body>Not Found</body></html>");
        QTest::newRow("no section") << QByteArray(text).replace("[Update]", "");
        QTest::newRow("no version") << without("Version");
        QTest::newRow("no size") << without("Size");
        QTest::newRow("no hash") << without("Sha256");
        QTest::newRow("no signature") << without("Signature");
        QTest::newRow("key twice") << text + "Version=9.9\n";
        QTest::newRow("bad version") << QByteArray(text).replace("Version=1.2", "Version=latest");
        QTest::newRow("negative size") << QByteArray(text).replace("Size=", "Size=-");
        QTest::newRow("zero size") << without("Size") + "Size=0\n";
        QTest::newRow("short hash") << QByteArray(text).replace("Sha256=", "Sha256=0");
        QTest::newRow("signature not base64") << without("Signature") + "Signature=%%%%\n";
        QTest::newRow("too large") << text + QByteArray(kMaxInfoFileBytes, ';');
    }

    void unreadableInfoFiles()
    {
        QFETCH(QByteArray, text);
        QVERIFY(!ParseUpdateInfo(text));
    }

    void keyFiles()
    {
        QString error;
        QCOMPARE(ParseSecretKeyFile(FormatSecretKeyFile(m_key.secretKey), &error), m_key.secretKey);
        QCOMPARE(ParsePublicKeyFile(FormatPublicKeyFile(m_key.publicKey), &error), m_key.publicKey);
        QCOMPARE(DecodePublicKey(m_key.publicKey.toBase64()), m_key.publicKey);
        // A public key file is not a secret key file, and a secret key whose halves don't belong
        // together is refused rather than producing signatures nobody can check.
        QVERIFY(ParseSecretKeyFile(FormatPublicKeyFile(m_key.publicKey), &error).isEmpty());
        QByteArray mixed = m_key.secretKey;
        mixed.replace(32, 32, GenerateUpdateKeyPair().publicKey);
        QVERIFY(ParseSecretKeyFile(FormatSecretKeyFile(mixed), &error).isEmpty());
        // The key built into the program is a usable public key.
        QCOMPARE(TUpdater::BuiltInPublicKey().size(), kPublicKeyBytes);
    }

    void builtInLocations()
    {
        QCOMPARE(TUpdater::VersionNumber, QStringLiteral("1.1.Beta"));
        QCOMPARE(TUpdater::DefaultInfoFileUrl().path(), kInfoPath);
        QCOMPARE(TUpdater::DefaultProgramUrl().path(), kProgramPath);
        QCOMPARE(TUpdater::DefaultInfoFileUrl().scheme(), QStringLiteral("http"));
        TUpdater updater;
        QCOMPARE(updater.Client()->currentVersion, TUpdater::VersionNumber);
        QCOMPARE(updater.Client()->infoUrl, TUpdater::DefaultInfoFileUrl());
        QCOMPARE(updater.Client()->publicKey, TUpdater::BuiltInPublicKey());
    }

    void noNewerVersionIsSilent_data()
    {
        QTest::addColumn<QString>("served");
        QTest::newRow("same version") << "1.1.Beta";
        QTest::newRow("older release") << "1.0";
        QTest::newRow("older pre-release") << "1.1.Alpha";
        QTest::newRow("same, other spelling") << "1.1.0-beta";
    }

    void noNewerVersionIsSilent()
    {
        QFETCH(QString, served);
        Publish(served);
        auto updater = RunUpdate();
        QVERIFY(updater);
        QCOMPARE(updater->Client()->state(), State::Finished);
        QCOMPARE(Messages().Count(), 0);
        QCOMPARE(m_server->Requests(), QStringList{kInfoPath});
        VerifyProgramUntouched();
    }

    void silentWhenNothingUsable_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("missing info file") << 404 << QByteArray("not found");
        QTest::newRow("server error") << 500 << QByteArray("oops");
        QTest::newRow("not an info file") << 200 << QByteArray("<html>parked domain</html>");
    }

    void silentWhenNothingUsable()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        m_server->Serve(kInfoPath, HttpTestServer::Response{status, body});
        m_server->Serve(kProgramPath, m_build);
        auto updater = RunUpdate();
        QVERIFY(updater);
        QCOMPARE(Messages().Count(), 0);
        QCOMPARE(m_server->Requests(), QStringList{kInfoPath});
        VerifyProgramUntouched();
    }

    // An unreachable host is looked at again and again without a word; once it answers, the
    // info file is read.
    void unreachableHostIsSilentUntilOnline()
    {
        const quint16 port = m_server->Port();
        m_server->Close();
        Publish(QStringLiteral("1.2"));
        auto updater = MakeUpdater();
        QSignalSpy looks(updater->Client(), &UpdateClient::onlineChecked);
        updater->Start();
        QTRY_VERIFY_WITH_TIMEOUT(looks.count() >= 3, 10000);
        for (const auto &look : looks)
            QCOMPARE(look.first().toBool(), false);
        QCOMPARE(updater->Client()->state(), State::WaitingOnline);
        QCOMPARE(Messages().Count(), 0);
        QVERIFY(m_server->Requests().isEmpty());

        if (!m_server->Listen(port)) QSKIP("the port was taken meanwhile");
        Messages().answers = {false};
        QTRY_COMPARE_WITH_TIMEOUT(Messages().Count(), 1, 10000);
        QCOMPARE(Messages().LastKind(), Kind::Ask);
        QVERIFY(Messages().LastText().contains(QStringLiteral("1.2")));
        QCOMPARE(looks.last().first().toBool(), true);
        QCOMPARE(m_server->Requests(), QStringList{kInfoPath});
    }

    void newerVersionAccepted_data()
    {
        QTest::addColumn<bool>("restart");
        QTest::newRow("restart later") << false;
        QTest::newRow("restart now") << true;
    }

    void newerVersionAccepted()
    {
        QFETCH(bool, restart);
        Publish(QStringLiteral("1.1"));
        Messages().answers = {true, restart};
        auto updater = RunUpdate();
        QVERIFY(updater);
        QCOMPARE(updater->Client()->state(), State::Installed);

        QCOMPARE(Kinds(), (QList<Kind>{Kind::Ask, Kind::Ask}));
        QVERIFY(Messages().messages[0].text.contains(QStringLiteral("1.1")));
        QVERIFY(Messages().messages[0].text.contains(QStringLiteral("1.1.Beta")));
        QCOMPARE(ReadAll(m_program), m_build);
        QVERIFY(QFileInfo(m_program).isExecutable());
        QCOMPARE(ReadAll(BackupPath(m_program)), kOldProgram);
        QVERIFY(!QFile::exists(StagingPath(m_program)));
        QCOMPARE(m_restarts, restart ? QStringList{m_program} : QStringList{});
        QVERIFY(!updater->Progress());

        // The previous build comes back in one step, and the new one becomes the backup.
        QString error;
        QVERIFY2(RollbackProgram(m_program, &error), qPrintable(error));
        QCOMPARE(ReadAll(m_program), kOldProgram);
        QCOMPARE(ReadAll(BackupPath(m_program)), m_build);
    }

    // A leftover backup and a half-written staging file of an earlier attempt don't get in the way.
    void leftoversOfEarlierAttemptsReplaced()
    {
        WriteAll(BackupPath(m_program), "ancient build");
        WriteAll(StagingPath(m_program), "half of an interrupted download");
        Publish(QStringLiteral("1.2"));
        Messages().answers = {true, false};
        auto updater = RunUpdate();
        QVERIFY(updater);
        QCOMPARE(updater->Client()->state(), State::Installed);
        QCOMPARE(ReadAll(m_program), m_build);
        QCOMPARE(ReadAll(BackupPath(m_program)), kOldProgram);
        QVERIFY(!QFile::exists(StagingPath(m_program)));
    }

    void newerVersionDeclined()
    {
        Publish(QStringLiteral("1.2"));
        Messages().answers = {false};
        auto updater = RunUpdate();
        QVERIFY(updater);
        QCOMPARE(Kinds(), QList<Kind>{Kind::Ask});
        QCOMPARE(m_server->Requests(), QStringList{kInfoPath});
        VerifyProgramUntouched();
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<HttpTestServer::Response>("program");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("reason");

        const QByteArray build = m_build;
        const QByteArray tampered = Flipped(build, build.size() / 2);
        const QByteArray good = SignedInfo(QStringLiteral("1.2"), build, m_key.secretKey).Format();
        const HttpTestServer::Response served{200, build};

        QTest::newRow("tampered file") << good << HttpTestServer::Response{200, tampered} << true << "校验值";

        UpdateInfo wrongHash = SignedInfo(QStringLiteral("1.2"), build, m_key.secretKey);
        wrongHash.sha256 = Sha256(tampered);
        wrongHash.signature = SignDetached(wrongHash.SignedText(), m_key.secretKey);
        QTest::newRow("wrong hash") << wrongHash.Format() << served << true << "校验值";

        UpdateInfo longer = SignedInfo(QStringLiteral("1.2"), build + "more", m_key.secretKey);
        QTest::newRow("shorter than signed") << longer.Format() << served << true << "大小";
        QTest::newRow("longer than signed")
            << good << HttpTestServer::Response{200, build + "appended"} << true << "大小";

        QTest::newRow("signed by another key")
            << SignedInfo(QStringLiteral("1.2"), build, GenerateUpdateKeyPair().secretKey).Format() << served
            << false << "签名";
        QByteArray edited = good;
        edited.replace(Sha256(build).toHex(), Sha256(tampered).toHex());
        QTest::newRow("hash edited after signing")
            << edited << HttpTestServer::Response{200, tampered} << false << "签名";
        QByteArray badSignature = good;
        const qsizetype at = badSignature.indexOf("Signature=") + 12;
        badSignature[at] = badSignature[at] == 'A' ? 'B' : 'A';
        QTest::newRow("signature damaged") << badSignature << served << false << "签名";

        QTest::newRow("truncated, connection closed")
            << good << HttpTestServer::Response{200, build, -1, build.size() / 3} << true << "未作任何更改";
        QTest::newRow("truncated, short length")
            << good << HttpTestServer::Response{200, build.left(build.size() / 3)} << true << "大小";
        QTest::newRow("program missing")
            << good << HttpTestServer::Response{404, "not found"} << true << "找不到";
    }

    void refused()
    {
        QFETCH(QByteArray, info);
        QFETCH(HttpTestServer::Response, program);
        QFETCH(bool, asked);
        QFETCH(QString, reason);
        m_server->Serve(kInfoPath, info);
        m_server->Serve(kProgramPath, program);
        Messages().answers = {true};
        auto updater = RunUpdate();
        QVERIFY(updater);

        QCOMPARE(Kinds(), (asked ? QList<Kind>{Kind::Ask, Kind::Warn} : QList<Kind>{Kind::Warn}));
        QVERIFY2(Messages().LastText().contains(reason), qPrintable(Messages().LastText()));
        QCOMPARE(m_server->Requests().contains(kProgramPath), asked);
        QVERIFY(!updater->Progress());
        VerifyProgramUntouched();
    }

    void cancelledDownload()
    {
        Publish(QStringLiteral("1.2"));
        m_server->Serve(kProgramPath, HttpTestServer::Response{200, m_build, -1, m_build.size() / 2, true});
        Messages().answers = {true};
        auto updater = MakeUpdater();
        QSignalSpy progress(updater->Client(), &UpdateClient::downloadProgress);
        updater->Start();
        QTRY_VERIFY_WITH_TIMEOUT(progress.count() > 0 && updater->Progress(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(progress.last().at(0).toLongLong() >= m_build.size() / 2, 10000);
        QVERIFY(updater->Progress()->isVisible());
        QVERIFY(QFile::exists(StagingPath(m_program)));

        auto *cancel = updater->Progress()->findChild<QPushButton *>();
        QVERIFY(cancel);
        cancel->click();
        QTRY_COMPARE_WITH_TIMEOUT(updater->Client()->state(), State::Finished, 10000);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(Kinds(), QList<Kind>{Kind::Ask});
        QVERIFY(!updater->Progress());
        VerifyProgramUntouched();
    }

    // Closing the main window mid-download (the updater goes with it) leaves no half file.
    void destroyedDuringDownload()
    {
        Publish(QStringLiteral("1.2"));
        m_server->Serve(kProgramPath, HttpTestServer::Response{200, m_build, -1, m_build.size() / 2, true});
        Messages().answers = {true};
        auto updater = MakeUpdater();
        QSignalSpy progress(updater->Client(), &UpdateClient::downloadProgress);
        updater->Start();
        QTRY_VERIFY_WITH_TIMEOUT(progress.count() > 0, 10000);
        updater.reset();
        VerifyProgramUntouched();
    }
};

QEN_TEST_MAIN(TestUpdater)
#include "test_updater.moc"
