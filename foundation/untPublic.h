#pragma once
#include <QByteArray>
#include <QString>
#include <memory>

class SettingsIni;

// The process-wide settings record and signed-in identity, fields in their fixed order.
struct TSysSet {
    QString AppTitle;
    QString CompanyName;
    QString DbServer;
    QString DbPort;
    QString DbName;
    QString DbUser;
    QString DbPassword;
    QString Reserved1, Reserved2, Reserved3, Reserved4, Reserved5;
    QString ShopNo;
    QString ShopName;
    QString AllName;
    QString UserNo;
    QString Reserved6;
    QString Action;
    QString Reserved7;
    quint8 ReservedFlag = 0;
    bool LoginOk = false;
};

extern TSysSet SysSet;
extern std::unique_ptr<SettingsIni> settingsIniOwner;
extern SettingsIni *settingsIni; // the "SettingsIni" object of the program

// Start-up step 1 and finalisation: build the settings path, create the INI object, LoadSettings.
void InitPublic();
void FinalizePublic();

// Fills the built-in values and the remembered numbers; sets the application title when an
// application object exists.
void LoadSettings();
// Writes ShopNo, then UserNo to section "Set". Throws SettingsError when the file can't be written.
void SaveLoginIds();

// Settings file name for an executable file name: first "exe" (case-sensitive) becomes "tmp";
// a name without "exe" gets ".tmp" appended.
QString SettingsFileName(const QString &exeFileName);
QString SettingsFilePath();

// The program's configuration directory, ending in "/".
QString SystemDirPath();
QString LocalComputerName();

// Removes characters of code 32 or below at both ends, nothing else.
QString TrimText(const QString &text);
// Substring test on trimmed texts; without exactCase only ASCII a-z are folded.
bool ContainsText(const QString &text, const QString &subText, bool exactCase);

// GBK (code page 936) helpers. GbkCanHold is false for text GBK cannot represent.
bool GbkCanHold(const QString &text);
QByteArray ToGbk(const QString &text); // throws std::invalid_argument if GbkCanHold is false
QString FromGbk(const QByteArray &bytes);
int GbkLength(const QString &text);

// Stored password form.
QByteArray XorWithKey(const QByteArray &source, const QByteArray &key);
QString ToQuotedLiteral(const QByteArray &bytes);
QString EncodePassword(const QString &password); // throws std::invalid_argument for non-GBK text
// The filler stands in for an empty password, so it has the same stored form: a new password
// equal to it is refused where passwords are set.
bool IsPasswordFiller(const QString &password);

// 16 capital hex digits: CPUID leaf 1, EDX then EAX.
QString HostIdentity();
