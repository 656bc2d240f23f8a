#pragma once
#include <QString>
#include <stdexcept>

// A refused write of the settings file; the text names the file.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A private INI file with the platform's classic semantics: section and key names compared
// without case, every write reaches the file at once (atomically), values held as GBK, every
// other section, key and line kept as it was. Creating the object does not touch the file.
class SettingsIni {
public:
    explicit SettingsIni(const QString &fileName);

    QString FileName() const { return m_fileName; }
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // A value that is not a whole number reads as the default.
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);

private:
    QString m_fileName;
};
