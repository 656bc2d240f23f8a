#include "shell/update/UpdateVersion.h"

#include <QStringList>
#include <optional>

namespace {

struct ParsedVersion {
    QStringList numbers; // digits only, leading zeros removed
    QStringList label;   // empty for a release
};

bool AllDigits(const QString &s)
{
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

QString StripZeros(const QString &digits)
{
    qsizetype i = 0;
    while (i + 1 < digits.size() && digits[i] == u'0')
        ++i;
    return digits.mid(i);
}

// Compares two digit strings without leading zeros by value, whatever their length.
int CompareNumbers(const QString &a, const QString &b)
{
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

std::optional<ParsedVersion> Parse(const QString &text)
{
    ParsedVersion v;
    const QStringList parts = text.split(u'.');
    qsizetype i = 0;
    for (; i < parts.size(); ++i) {
        const QString &part = parts[i];
        const qsizetype dash = part.indexOf(u'-');
        if (dash >= 0) {
            // "1.1-beta.2": the dash ends the numbers and starts the label.
            const QString head = part.left(dash);
            if (!AllDigits(head)) return std::nullopt;
            v.numbers << StripZeros(head);
            v.label << part.mid(dash + 1);
            v.label << parts.mid(i + 1);
            break;
        }
        if (!AllDigits(part)) {
            v.label = parts.mid(i);
            break;
        }
        v.numbers << StripZeros(part);
    }
    if (v.numbers.isEmpty()) return std::nullopt;
    for (const QString &id : v.label)
        if (id.isEmpty()) return std::nullopt;
    return v;
}

int CompareIdentifiers(const QString &a, const QString &b)
{
    const bool na = AllDigits(a), nb = AllDigits(b);
    if (na && nb) return CompareNumbers(StripZeros(a), StripZeros(b));
    if (na != nb) return na ? -1 : 1;
    // Words ignore ASCII case only.
    auto fold = [](const QString &s) {
        QString r = s;
        for (QChar &c : r)
            if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 32);
        return r;
    };
    return fold(a).compare(fold(b));
}

int Sign(int x)
{
    return (x > 0) - (x < 0);
}

} // namespace

bool IsValidVersion(const QString &version)
{
    return Parse(version).has_value();
}

int CompareVersions(const QString &a, const QString &b)
{
    const auto va = Parse(a), vb = Parse(b);
    if (!va || !vb) return va ? 1 : (vb ? -1 : 0);

    const qsizetype n = std::max(va->numbers.size(), vb->numbers.size());
    for (qsizetype i = 0; i < n; ++i) {
        const QString x = i < va->numbers.size() ? va->numbers[i] : QStringLiteral("0");
        const QString y = i < vb->numbers.size() ? vb->numbers[i] : QStringLiteral("0");
        if (const int c = CompareNumbers(x, y)) return Sign(c);
    }

    // Same numbers: a release is above any of its pre-releases.
    if (va->label.isEmpty() || vb->label.isEmpty())
        return va->label.isEmpty() == vb->label.isEmpty() ? 0 : (va->label.isEmpty() ? 1 : -1);

    const qsizetype m = std::min(va->label.size(), vb->label.size());
    for (qsizetype i = 0; i < m; ++i)
        if (const int c = CompareIdentifiers(va->label[i], vb->label[i])) return Sign(c);
    return Sign(int(va->label.size() - vb->label.size()));
}

bool IsNewerVersion(const QString &candidate, const QString &current)
{
    return IsValidVersion(candidate) && CompareVersions(candidate, current) > 0;
}
