#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

// The update info file, served over plain HTTP beside the new program. Nothing in it is trusted
// before its signature is checked. It is UTF-8 text in INI form:
//
//   ; comments start with ; or #
//   [Update]
//   Version=1.2
//   Date=09/30/2017
//   Size=1843200
//   Sha256=<64 hex digits of the program file's SHA-256>
//   Signature=<Base64 of the Ed25519 signature>
//
// The signature is made with the publisher's secret key over SignedText(): a fixed tag and the
// four fields above in this order, so a version can't be paired with another build's hash or size.
// Keys are compared ignoring ASCII case; a key given twice makes the file unreadable, unknown keys
// are ignored (they are not signed, so nothing may depend on them).
struct UpdateInfo {
    QString version;
    QString date;         // month/day/year, informational; may be empty
    qint64 size = 0;      // bytes of the program file
    QByteArray sha256;    // 32 bytes
    QByteArray signature; // 64 bytes

    QByteArray SignedText() const;
    QByteArray Format() const;
    bool SignatureValid(const QByteArray &publicKey) const;
    // Sets size, sha256 and signature for the given program file contents.
    void SignFile(const QByteArray &program, const QByteArray &secretKey);
};

// The largest info file and program the updater accepts.
inline constexpr qint64 kMaxInfoFileBytes = 64 * 1024;
inline constexpr qint64 kMaxProgramBytes = qint64(1) << 30;

// Reads an info file; on failure returns nothing and says why in *error.
std::optional<UpdateInfo> ParseUpdateInfo(const QByteArray &text, QString *error = nullptr);
