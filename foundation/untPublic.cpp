#include "foundation/untPublic.h"

#include "BuildConfig.h"
#include "foundation/SettingsIni.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

TSysSet SysSet;
std::unique_ptr<SettingsIni> settingsIniOwner;
SettingsIni *settingsIni = nullptr;

QString SettingsFileName(const QString &exeFileName)
{
    QString name = exeFileName;
    const int at = name.indexOf(QLatin1String("exe"));
    if (at < 0) return name + QLatin1String(".tmp"); // "qen" keeps "qen.tmp", as "qen.exe" would
    return name.replace(at, 3, QLatin1String("tmp"));
}

QString SettingsFilePath()
{
    QString exeName = QCoreApplication::instance()
                          ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                          : QStringLiteral("qen");
    if (exeName.isEmpty()) exeName = QStringLiteral("qen");
    return SystemDirPath() + SettingsFileName(exeName);
}

QString SystemDirPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

void InitPublic()
{
    settingsIniOwner = std::make_unique<SettingsIni>(SettingsFilePath());
    settingsIni = settingsIniOwner.get();
    LoadSettings();
}

void FinalizePublic()
{
    settingsIni = nullptr;
    settingsIniOwner.reset();
    SysSet = TSysSet();
}

void LoadSettings()
{
    SysSet.AppTitle = QString::fromUtf8(QEN_APP_TITLE);
    SysSet.CompanyName = QString::fromUtf8(QEN_COMPANY_NAME);
    SysSet.DbServer = QString::fromUtf8(QEN_DB_SERVER);
    SysSet.DbPort = QString::fromUtf8(QEN_DB_PORT);
    SysSet.DbName = QString::fromUtf8(QEN_DB_NAME);
    SysSet.DbUser = QString::fromUtf8(QEN_DB_USER);
    SysSet.DbPassword = QString::fromUtf8(QEN_DB_PASSWORD);
    if (settingsIni) {
        SysSet.ShopNo = settingsIni->ReadString(QStringLiteral("Set"), QStringLiteral("ShopNo"), QString());
        SysSet.UserNo = settingsIni->ReadString(QStringLiteral("Set"), QStringLiteral("UserNo"), QString());
    }
    if (QCoreApplication::instance()) QCoreApplication::setApplicationName(SysSet.AppTitle);
}

void SaveLoginIds()
{
    settingsIni->WriteString(QStringLiteral("Set"), QStringLiteral("ShopNo"), SysSet.ShopNo);
    settingsIni->WriteString(QStringLiteral("Set"), QStringLiteral("UserNo"), SysSet.UserNo);
}
