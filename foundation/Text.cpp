#include "foundation/untPublic.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QSysInfo>
#include <stdexcept>

QString TrimText(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

namespace {
QString FoldAscii(QString s)
{
    for (QChar &c : s)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
    return s;
}
} // namespace

bool ContainsText(const QString &text, const QString &subText, bool exactCase)
{
    QString t = TrimText(text);
    QString s = TrimText(subText);
    if (t.isEmpty() || s.isEmpty()) return false;
    if (!exactCase) {
        t = FoldAscii(t);
        s = FoldAscii(s);
    }
    return t.contains(s, Qt::CaseSensitive);
}

QByteArray ToGbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    QByteArray bytes = encoder.encode(text);
    // A character GBK cannot hold comes back as a substitute, so the round trip differs.
    if (encoder.hasError() || FromGbk(bytes) != text)
        throw std::invalid_argument("text cannot be held in GBK");
    return bytes;
}

QString FromGbk(const QByteArray &bytes)
{
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

bool GbkCanHold(const QString &text)
{
    try {
        ToGbk(text);
        return true;
    } catch (const std::invalid_argument &) {
        return false;
    }
}

int GbkLength(const QString &text)
{
    QStringEncoder encoder("GBK");
    return int(QByteArray(encoder.encode(text)).size());
}

QString LocalComputerName()
{
    return QSysInfo::machineHostName();
}
