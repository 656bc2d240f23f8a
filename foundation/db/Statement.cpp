#include "foundation/db/Statement.h"

#include <QRegularExpression>

namespace Statement {

namespace {

// Calls f(i) for every index of text that lies outside a '...' literal.
template <typename F> void ForEachOutsideLiterals(const QString &text, F f)
{
    bool inLiteral = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\'')) {
            inLiteral = !inLiteral; // a doubled quote toggles twice
            continue;
        }
        if (!inLiteral) i = f(i);
    }
}

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

QString AdaptForEmbedded(const QString &text)
{
    QString out;
    out.reserve(text.size() + 16);
    QString limit;
    static const QRegularExpression top(QStringLiteral("SELECT\\s+TOP\\s+(\\d+)\\s+"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression isnull(QStringLiteral("ISNULL\\s*\\("),
                                           QRegularExpression::CaseInsensitiveOption);
    qsizetype copied = 0;
    ForEachOutsideLiterals(text, [&](qsizetype i) {
        if (i > 0 && IsWordChar(text.at(i - 1))) return i;
        // Only a word starting with S or I can begin either form: spares a regular expression
        // match at every other word of the statement.
        const QChar first = text.at(i).toUpper();
        if (first != QLatin1Char('S') && first != QLatin1Char('I')) return i;
        constexpr auto anchored = QRegularExpression::AnchorAtOffsetMatchOption;
        if (auto m = top.match(text, i, QRegularExpression::NormalMatch, anchored); m.hasMatch()) {
            out += text.mid(copied, i - copied) + text.mid(i, 6) + QLatin1Char(' ');
            limit = m.captured(1);
            copied = i + m.capturedLength();
            return copied - 1;
        }
        if (auto m = isnull.match(text, i, QRegularExpression::NormalMatch, anchored); m.hasMatch()) {
            out += text.mid(copied, i - copied) + QLatin1String("IFNULL(");
            copied = i + m.capturedLength();
            return copied - 1;
        }
        return i;
    });
    out += text.mid(copied);
    if (!limit.isEmpty()) {
        while (!out.isEmpty() && out.back().isSpace())
            out.chop(1);
        out += QLatin1String(" LIMIT ") + limit;
    }
    return out;
}

Positional ToPositional(const QString &text)
{
    Positional p;
    qsizetype copied = 0;
    ForEachOutsideLiterals(text, [&](qsizetype i) {
        if (text.at(i) != QLatin1Char(':') || i + 1 >= text.size()) return i;
        if (i > 0 && (text.at(i - 1) == QLatin1Char(':') || IsWordChar(text.at(i - 1)))) return i;
        qsizetype end = i + 1;
        while (end < text.size() && IsWordChar(text.at(end)))
            ++end;
        if (end == i + 1 || text.at(i + 1).isDigit()) return i;
        p.text += text.mid(copied, i - copied) + QLatin1Char('?');
        p.names << text.mid(i + 1, end - i - 1);
        copied = end;
        return end - 1;
    });
    p.text += text.mid(copied);
    return p;
}

} // namespace Statement
