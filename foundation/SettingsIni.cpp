#include "foundation/SettingsIni.h"

#include "foundation/untPublic.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace {

QStringList ReadLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QString text = FromGbk(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// "[name]" gives name; anything else an empty string.
QString SectionOf(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return {};
}

bool IsSection(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'));
}

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the key's line inside the section, or -1. sectionEnd receives the index after the
// section's last line (or -1 when the section is absent).
int FindKey(const QStringList &lines, const QString &section, const QString &key, int *sectionEnd)
{
    bool inSection = false;
    int found = -1;
    if (sectionEnd) *sectionEnd = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (IsSection(lines[i])) {
            if (inSection && sectionEnd) return found;
            inSection = SameName(SectionOf(lines[i]), section);
            if (inSection && sectionEnd) *sectionEnd = i + 1;
            continue;
        }
        if (!inSection) continue;
        const int eq = lines[i].indexOf(QLatin1Char('='));
        if (eq > 0 && found < 0 && SameName(lines[i].left(eq).trimmed(), key)) found = i;
        if (sectionEnd && !lines[i].trimmed().isEmpty()) *sectionEnd = i + 1;
    }
    return found;
}

} // namespace

SettingsIni::SettingsIni(const QString &fileName) : m_fileName(fileName) {}

QString SettingsIni::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QStringList lines = ReadLines(m_fileName);
    const int i = FindKey(lines, section, key, nullptr);
    if (i < 0) return defaultValue;
    QString value = lines[i].mid(lines[i].indexOf(QLatin1Char('=')) + 1).trimmed();
    // A value wholly in quotes is read without them, as the classic routines do.
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return value;
}

int SettingsIni::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    bool ok = false;
    const int value = ReadString(section, key, QString()).toInt(&ok);
    return ok ? value : defaultValue;
}

void SettingsIni::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (!GbkCanHold(value) || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        throw SettingsError(QStringLiteral("无法写入配置文件 %1：值无效").arg(m_fileName).toStdString());
    QStringList lines = ReadLines(m_fileName);
    int sectionEnd = -1;
    const int i = FindKey(lines, section, key, &sectionEnd);
    const QString line = key + QLatin1Char('=') + value;
    if (i >= 0) {
        lines[i] = line;
    } else if (sectionEnd >= 0) {
        lines.insert(sectionEnd, line);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines << QString();
        lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
    }

    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    QSaveFile file(m_fileName);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        file.write(ToGbk(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")));
        ok = file.commit();
    }
    if (!ok)
        throw SettingsError(
            QStringLiteral("无法写入配置文件 %1：%2").arg(m_fileName, file.errorString()).toStdString());
}

void SettingsIni::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}
