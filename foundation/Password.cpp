#include "foundation/untPublic.h"

namespace {
// The XOR key "5数据Qm" as GBK bytes, and the filler that stands in for an empty password.
const QByteArray kKey("\x35\xCA\xFD\xBE\xDD\x51\x6D", 7);
const QByteArray kFiller("30417265831950");
} // namespace

QByteArray XorWithKey(const QByteArray &source, const QByteArray &key)
{
    const QByteArray &src = source.isEmpty() ? kFiller : source;
    QByteArray out(src.size(), '\0');
    for (qsizetype i = 0; i < src.size(); ++i)
        out[i] = char(src[i] ^ key[i % key.size()]);
    return out;
}

QString ToQuotedLiteral(const QByteArray &bytes)
{
    QString out = QStringLiteral("{");
    QString run;
    auto closeRun = [&] {
        if (run.isEmpty()) return;
        out += QLatin1Char('\'') + run + QLatin1Char('\'');
        run.clear();
    };
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x20 && b <= 0x7F) {
            if (b == '\'') run += QLatin1Char('\'');
            run += QLatin1Char(char(b));
        } else {
            closeRun();
            out += QStringLiteral("#$") + QString::number(b, 16).toUpper();
        }
    }
    closeRun();
    return out + QLatin1Char('}');
}

QString EncodePassword(const QString &password)
{
    // ToGbk refuses text GBK cannot hold, so two different passwords never meet in one form
    // through a substitute character.
    return ToQuotedLiteral(XorWithKey(ToGbk(password), kKey));
}

bool IsPasswordFiller(const QString &password)
{
    return password == QLatin1String(kFiller);
}
