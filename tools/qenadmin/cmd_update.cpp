// keygen, sign-update and verify-update: what a publisher needs to release an update that the
// installed programs will accept (docs/releasing.md).
#include "shell/update/UpdateCrypto.h"
#include "shell/update/UpdateInfo.h"
#include "shell/update/UpdatePublicKey.h"
#include "shell/update/UpdateVersion.h"
#include "tools/qenadmin/Command.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTextStream>

namespace {

using qenadmin::Fail;
using qenadmin::Print;

// Splits "--name value" options from positional arguments. Returns false (with *error) for an
// unknown option or one without its value.
bool ParseOptions(QStringList args, const QStringList &valued, const QStringList &flags,
                  QHash<QString, QString> *options, QStringList *positional, QString *error)
{
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (!arg.startsWith(QLatin1String("--"))) {
            positional->append(arg);
        } else if (flags.contains(arg)) {
            options->insert(arg, QString());
        } else if (valued.contains(arg)) {
            if (args.isEmpty()) {
                *error = QStringLiteral("%1 needs a value").arg(arg);
                return false;
            }
            options->insert(arg, args.takeFirst());
        } else {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
    return true;
}

bool ReadFile(const QString &path, QByteArray *data, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    *data = file.readAll();
    return true;
}

bool WriteFile(const QString &path, const QByteArray &data, QFile::Permissions permissions, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(permissions) ||
        file.write(data) != data.size() || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void Warn(const QString &text)
{
    QTextStream(stderr) << "qenadmin: warning: " << text << '\n';
}

const qenadmin::Register keygen({
    QStringLiteral("keygen"),
    QStringLiteral("[--force] NAME"),
    QStringLiteral("make an update signing key pair NAME.key (secret) and NAME.pub"),
    [](const QStringList &args) {
        QHash<QString, QString> options;
        QStringList names;
        QString error;
        if (!ParseOptions(args, {}, {QStringLiteral("--force")}, &options, &names, &error))
            return Fail(error);
        if (names.size() != 1) return Fail(QStringLiteral("keygen takes one NAME"));
        const QString secretPath = names.first() + QStringLiteral(".key");
        const QString publicPath = names.first() + QStringLiteral(".pub");
        if (!options.contains(QStringLiteral("--force")))
            for (const QString &path : {secretPath, publicPath})
                if (QFileInfo::exists(path))
                    return Fail(QStringLiteral("%1 exists; pass --force to replace the key pair").arg(path));

        const UpdateKeyPair pair = GenerateUpdateKeyPair();
        if (!WriteFile(secretPath, FormatSecretKeyFile(pair.secretKey), QFile::ReadOwner | QFile::WriteOwner,
                       &error) ||
            !WriteFile(publicPath, FormatPublicKeyFile(pair.publicKey),
                       QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther, &error))
            return Fail(error);
        Print(QStringLiteral("secret key: %1 (keep it private, never in the repository)").arg(secretPath));
        Print(QStringLiteral("public key: %1").arg(publicPath));
        Print(QStringLiteral("built-in form for shell/update/UpdatePublicKey.h: %1")
                  .arg(QString::fromLatin1(pair.publicKey.toBase64())));
        return 0;
    },
});

const qenadmin::Register signUpdate({
    QStringLiteral("sign-update"),
    QStringLiteral("OPTIONS PROGRAM"),
    QStringLiteral("sign PROGRAM: --key NAME.key --version V [--date MM/DD/YYYY] [--out qen.inf]"),
    [](const QStringList &args) {
        QHash<QString, QString> options;
        QStringList files;
        QString error;
        if (!ParseOptions(args,
                          {QStringLiteral("--key"), QStringLiteral("--version"), QStringLiteral("--date"),
                           QStringLiteral("--out")},
                          {}, &options, &files, &error))
            return Fail(error);
        if (files.size() != 1) return Fail(QStringLiteral("sign-update takes one PROGRAM file"));
        if (!options.contains(QStringLiteral("--key")) || !options.contains(QStringLiteral("--version")))
            return Fail(QStringLiteral("sign-update needs --key and --version"));

        UpdateInfo info;
        info.version = options.value(QStringLiteral("--version"));
        if (!IsValidVersion(info.version))
            return Fail(
                QStringLiteral("%1 is not a version number (such as 1.2 or 1.2.Beta)").arg(info.version));
        if (!IsNewerVersion(info.version, QString::fromLatin1(kVersionNumber)))
            Warn(QStringLiteral("%1 is not above %2: programs of that version won't offer it")
                     .arg(info.version, QString::fromLatin1(kVersionNumber)));
        info.date = options.value(QStringLiteral("--date"),
                                  QDate::currentDate().toString(QStringLiteral("MM/dd/yyyy")));
        if (!QDate::fromString(info.date, QStringLiteral("MM/dd/yyyy")).isValid())
            return Fail(QStringLiteral("--date %1 is not MM/DD/YYYY").arg(info.date));

        QByteArray keyText, program;
        if (!ReadFile(options.value(QStringLiteral("--key")), &keyText, &error) ||
            !ReadFile(files.first(), &program, &error))
            return Fail(error);
        const QByteArray secretKey = ParseSecretKeyFile(keyText, &error);
        if (secretKey.isEmpty()) return Fail(QStringLiteral("%1: %2").arg(options.value("--key"), error));
        if (program.isEmpty() || program.size() > kMaxProgramBytes)
            return Fail(QStringLiteral("%1 is empty or larger than the updater accepts").arg(files.first()));

        info.SignFile(program, secretKey);
        const QByteArray text = info.Format();
        // Read back what is written, as an installed program will.
        const auto check = ParseUpdateInfo(text, &error);
        if (!check || !check->SignatureValid(PublicKeyOf(secretKey)))
            return Fail(QStringLiteral("the info file does not verify: %1").arg(error));
        if (PublicKeyOf(secretKey) != DecodePublicKey(kUpdatePublicKey))
            Warn(QStringLiteral("this key is not the one built into qen; only programs built with its "
                                "public key will accept the update"));

        const QString out = options.value(QStringLiteral("--out"), QStringLiteral("qen.inf"));
        if (!WriteFile(out, text, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther,
                       &error))
            return Fail(error);
        Print(QStringLiteral("%1: version %2, %3 bytes, sha256 %4")
                  .arg(out, info.version)
                  .arg(info.size)
                  .arg(QString::fromLatin1(info.sha256.toHex())));
        return 0;
    },
});

const qenadmin::Register verifyUpdate({
    QStringLiteral("verify-update"),
    QStringLiteral("OPTIONS PROGRAM"),
    QStringLiteral("check PROGRAM as the updater does: --info qen.inf [--pub NAME.pub]"),
    [](const QStringList &args) {
        QHash<QString, QString> options;
        QStringList files;
        QString error;
        if (!ParseOptions(args, {QStringLiteral("--info"), QStringLiteral("--pub")}, {}, &options, &files,
                          &error))
            return Fail(error);
        if (files.size() != 1 || !options.contains(QStringLiteral("--info")))
            return Fail(QStringLiteral("verify-update needs --info FILE and one PROGRAM"));

        QByteArray infoText, program, publicKey = DecodePublicKey(kUpdatePublicKey);
        if (!ReadFile(options.value(QStringLiteral("--info")), &infoText, &error) ||
            !ReadFile(files.first(), &program, &error))
            return Fail(error);
        if (options.contains(QStringLiteral("--pub"))) {
            QByteArray pubText;
            if (!ReadFile(options.value(QStringLiteral("--pub")), &pubText, &error)) return Fail(error);
            publicKey = ParsePublicKeyFile(pubText, &error);
            if (publicKey.isEmpty()) return Fail(error);
        }
        const auto info = ParseUpdateInfo(infoText, &error);
        if (!info) return Fail(QStringLiteral("unreadable info file: %1").arg(error));
        QStringList problems;
        if (!info->SignatureValid(publicKey)) problems << QStringLiteral("signature does not verify");
        if (info->size != program.size()) problems << QStringLiteral("size differs");
        if (info->sha256 != Sha256(program)) problems << QStringLiteral("SHA-256 differs");
        if (!problems.isEmpty()) {
            QTextStream(stderr) << "qenadmin: REFUSED: " << problems.join(QStringLiteral(", ")) << '\n';
            return 1;
        }
        Print(QStringLiteral("OK: version %1, %2 bytes").arg(info->version).arg(info->size));
        return 0;
    },
});

} // namespace
