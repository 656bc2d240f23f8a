#pragma once
#include <QByteArray>
#include <QString>

// Ed25519 signatures (libsodium) and SHA-256 for update files.

inline constexpr int kPublicKeyBytes = 32;
inline constexpr int kSecretKeyBytes = 64;
inline constexpr int kSignatureBytes = 64;
inline constexpr int kSha256Bytes = 32;

struct UpdateKeyPair {
    QByteArray publicKey; // kPublicKeyBytes
    QByteArray secretKey; // kSecretKeyBytes (seed followed by the public key)
};

// Throws std::runtime_error when libsodium cannot be initialised.
UpdateKeyPair GenerateUpdateKeyPair();

// Detached signature of message; secretKey must be kSecretKeyBytes long (std::invalid_argument).
QByteArray SignDetached(const QByteArray &message, const QByteArray &secretKey);
// False for a signature or key of the wrong length as well as for a signature that doesn't match.
bool VerifyDetached(const QByteArray &message, const QByteArray &signature, const QByteArray &publicKey);

// The public key that belongs to a secret key (its last 32 bytes).
QByteArray PublicKeyOf(const QByteArray &secretKey);

QByteArray Sha256(const QByteArray &data);

// Key files are one line of text: a tag naming the kind of key, a blank, the key in Base64.
//   qen-update-public AbC...=
//   qen-update-secret XyZ...=
// Text forms for the public key alone (as built into the program) are plain Base64.
QByteArray FormatPublicKeyFile(const QByteArray &publicKey);
QByteArray FormatSecretKeyFile(const QByteArray &secretKey);
// Return an empty array and set *error when the text isn't a key of that kind.
QByteArray ParsePublicKeyFile(const QByteArray &text, QString *error);
QByteArray ParseSecretKeyFile(const QByteArray &text, QString *error);
// Plain Base64 of 32 bytes (or a public key file); empty when it isn't one.
QByteArray DecodePublicKey(const QByteArray &text);
