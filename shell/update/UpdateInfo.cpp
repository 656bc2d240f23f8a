#include "shell/update/UpdateInfo.h"

#include "shell/update/UpdateCrypto.h"
#include "shell/update/UpdateVersion.h"

#include <QList>
#include <QMap>

namespace {

const QByteArray kSection = "[update]";
const QByteArray kSignedTag = "qen-update-info/1\n";

bool Fail(QString *error, const QString &why)
{
    if (error) *error = why;
    return false;
}

bool IsHex(const QByteArray &s)
{
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

} // namespace

QByteArray UpdateInfo::SignedText() const
{
    QByteArray text = kSignedTag;
    text += "Version=" + version.toUtf8() + '\n';
    text += "Date=" + date.toUtf8() + '\n';
    text += "Size=" + QByteArray::number(size) + '\n';
    text += "Sha256=" + sha256.toHex() + '\n';
    return text;
}

QByteArray UpdateInfo::Format() const
{
    QByteArray text = "; qen update info. The signature covers Version, Date, Size and Sha256.\n[Update]\n";
    text += "Version=" + version.toUtf8() + '\n';
    text += "Date=" + date.toUtf8() + '\n';
    text += "Size=" + QByteArray::number(size) + '\n';
    text += "Sha256=" + sha256.toHex() + '\n';
    text += "Signature=" + signature.toBase64() + '\n';
    return text;
}

bool UpdateInfo::SignatureValid(const QByteArray &publicKey) const
{
    return VerifyDetached(SignedText(), signature, publicKey);
}

void UpdateInfo::SignFile(const QByteArray &program, const QByteArray &secretKey)
{
    size = program.size();
    sha256 = Sha256(program);
    signature = SignDetached(SignedText(), secretKey);
}

std::optional<UpdateInfo> ParseUpdateInfo(const QByteArray &text, QString *error)
{
    if (text.size() > kMaxInfoFileBytes)
        return Fail(error, QStringLiteral("info file too large")), std::nullopt;

    QMap<QByteArray, QByteArray> values;
    bool inSection = false, sawSection = false;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[')) {
            inSection = line.toLower() == kSection;
            sawSection = sawSection || inSection;
            continue;
        }
        if (!inSection) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0) return Fail(error, QStringLiteral("line %1 is not key=value").arg(n + 1)), std::nullopt;
        const QByteArray key = line.left(eq).trimmed().toLower();
        if (values.contains(key))
            return Fail(error, QStringLiteral("key %1 given twice").arg(QString::fromUtf8(key))),
                   std::nullopt;
        values.insert(key, line.mid(eq + 1).trimmed());
    }
    if (!sawSection) return Fail(error, QStringLiteral("no [Update] section")), std::nullopt;
    for (const char *key : {"version", "size", "sha256", "signature"})
        if (!values.contains(key))
            return Fail(error, QStringLiteral("%1 missing").arg(QLatin1String(key))), std::nullopt;

    UpdateInfo info;
    info.version = QString::fromUtf8(values.value("version"));
    if (!IsValidVersion(info.version)) return Fail(error, QStringLiteral("bad version")), std::nullopt;
    info.date = QString::fromUtf8(values.value("date"));

    const QByteArray size = values.value("size");
    bool ok = !size.isEmpty() && size.size() <= 12;
    for (char c : size)
        ok = ok && c >= '0' && c <= '9';
    if (ok) info.size = size.toLongLong(&ok);
    if (!ok || info.size <= 0 || info.size > kMaxProgramBytes)
        return Fail(error, QStringLiteral("bad size")), std::nullopt;

    const QByteArray hash = values.value("sha256");
    if (hash.size() != 2 * kSha256Bytes || !IsHex(hash))
        return Fail(error, QStringLiteral("bad sha256")), std::nullopt;
    info.sha256 = QByteArray::fromHex(hash);

    const auto signature =
        QByteArray::fromBase64Encoding(values.value("signature"), QByteArray::AbortOnBase64DecodingErrors);
    if (!signature || signature.decoded.size() != kSignatureBytes)
        return Fail(error, QStringLiteral("bad signature field")), std::nullopt;
    info.signature = signature.decoded;
    return info;
}
