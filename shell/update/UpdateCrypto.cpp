#include "shell/update/UpdateCrypto.h"

#include <QCryptographicHash>
#include <sodium.h>
#include <stdexcept>

namespace {

const QByteArray kPublicTag = "qen-update-public";
const QByteArray kSecretTag = "qen-update-secret";

void EnsureSodium()
{
    // sodium_init is thread-safe and returns 1 once already initialised.
    if (sodium_init() < 0) throw std::runtime_error("libsodium could not be initialised");
}

QByteArray DecodeBase64Exact(const QByteArray &text, int bytes)
{
    const auto decoded =
        QByteArray::fromBase64Encoding(text.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != bytes) return {};
    return decoded.decoded;
}

QByteArray ParseKeyFile(const QByteArray &text, const QByteArray &tag, int bytes, QString *error)
{
    const QByteArray line = text.trimmed();
    const qsizetype blank = line.indexOf(' ');
    if (blank < 0 || line.left(blank) != tag) {
        if (error) *error = QStringLiteral("not a %1 key file").arg(QString::fromLatin1(tag));
        return {};
    }
    QByteArray key = DecodeBase64Exact(line.mid(blank + 1), bytes);
    if (key.isEmpty() && error) *error = QStringLiteral("the key is not %1 bytes of Base64").arg(bytes);
    return key;
}

} // namespace

UpdateKeyPair GenerateUpdateKeyPair()
{
    EnsureSodium();
    UpdateKeyPair pair;
    pair.publicKey.resize(crypto_sign_PUBLICKEYBYTES);
    pair.secretKey.resize(crypto_sign_SECRETKEYBYTES);
    crypto_sign_keypair(reinterpret_cast<unsigned char *>(pair.publicKey.data()),
                        reinterpret_cast<unsigned char *>(pair.secretKey.data()));
    return pair;
}

QByteArray SignDetached(const QByteArray &message, const QByteArray &secretKey)
{
    static_assert(crypto_sign_BYTES == kSignatureBytes && crypto_sign_SECRETKEYBYTES == kSecretKeyBytes &&
                  crypto_sign_PUBLICKEYBYTES == kPublicKeyBytes);
    if (secretKey.size() != kSecretKeyBytes) throw std::invalid_argument("secret key must be 64 bytes");
    EnsureSodium();
    QByteArray signature(kSignatureBytes, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char *>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char *>(message.constData()),
                         static_cast<unsigned long long>(message.size()),
                         reinterpret_cast<const unsigned char *>(secretKey.constData()));
    return signature;
}

bool VerifyDetached(const QByteArray &message, const QByteArray &signature, const QByteArray &publicKey)
{
    if (signature.size() != kSignatureBytes || publicKey.size() != kPublicKeyBytes) return false;
    EnsureSodium();
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.constData()),
                                       reinterpret_cast<const unsigned char *>(message.constData()),
                                       static_cast<unsigned long long>(message.size()),
                                       reinterpret_cast<const unsigned char *>(publicKey.constData())) == 0;
}

QByteArray PublicKeyOf(const QByteArray &secretKey)
{
    if (secretKey.size() != kSecretKeyBytes) return {};
    return secretKey.right(kPublicKeyBytes);
}

QByteArray Sha256(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256);
}

QByteArray FormatPublicKeyFile(const QByteArray &publicKey)
{
    return kPublicTag + ' ' + publicKey.toBase64() + '\n';
}

QByteArray FormatSecretKeyFile(const QByteArray &secretKey)
{
    return kSecretTag + ' ' + secretKey.toBase64() + '\n';
}

QByteArray ParsePublicKeyFile(const QByteArray &text, QString *error)
{
    return ParseKeyFile(text, kPublicTag, kPublicKeyBytes, error);
}

QByteArray ParseSecretKeyFile(const QByteArray &text, QString *error)
{
    QByteArray key = ParseKeyFile(text, kSecretTag, kSecretKeyBytes, error);
    if (key.isEmpty()) return key;
    // The public half must be the one the seed makes, or signatures would never verify.
    EnsureSodium();
    unsigned char seed[crypto_sign_SEEDBYTES];
    unsigned char rebuilt[crypto_sign_SECRETKEYBYTES];
    QByteArray derived(kPublicKeyBytes, '\0');
    crypto_sign_ed25519_sk_to_seed(seed, reinterpret_cast<const unsigned char *>(key.constData()));
    crypto_sign_seed_keypair(reinterpret_cast<unsigned char *>(derived.data()), rebuilt, seed);
    sodium_memzero(seed, sizeof seed);
    sodium_memzero(rebuilt, sizeof rebuilt);
    if (derived != PublicKeyOf(key)) {
        if (error) *error = QStringLiteral("the secret key file is damaged");
        return {};
    }
    return key;
}

QByteArray DecodePublicKey(const QByteArray &text)
{
    if (text.trimmed().startsWith(kPublicTag)) return ParsePublicKeyFile(text, nullptr);
    return DecodeBase64Exact(text, kPublicKeyBytes);
}
