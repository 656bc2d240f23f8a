#include "shell/untUpdater.h"

#include "BuildConfig.h"
#include "foundation/ui/untDialog.h"
#include "foundation/ui/untMessages.h"
#include "foundation/untPublic.h"
#include "shell/update/UpdateCrypto.h"
#include "shell/update/UpdatePublicKey.h"
#include "shell/update/UpdateVersion.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>

const QString TUpdater::VersionNumber = QString::fromLatin1(kVersionNumber);
const QString TUpdater::VersionDate = QString::fromLatin1(kVersionDate);

namespace {

const char kInfoFilePath[] = "/download/qen/demo/qen/qen.inf";
const char kProgramPath[] = "/download/qen/demo/qen/qen.exe";

QUrl OnUpdateHost(const char *path)
{
    return QUrl(QStringLiteral("http://") + QString::fromUtf8(QEN_UPDATE_HOST) + QString::fromLatin1(path));
}

void RestartProgram(const QString &programPath)
{
    if (QProcess::startDetached(programPath, {}))
        QCoreApplication::exit(0);
    else
        MsgWarn(QStringLiteral("无法启动新版本，请关闭后重新打开程序。"));
}

} // namespace

QUrl TUpdater::DefaultInfoFileUrl()
{
    return OnUpdateHost(kInfoFilePath);
}

QUrl TUpdater::DefaultProgramUrl()
{
    return OnUpdateHost(kProgramPath);
}

QByteArray TUpdater::BuiltInPublicKey()
{
    return DecodePublicKey(kUpdatePublicKey);
}

TUpdater::TUpdater(QWidget *parent)
    : QObject(parent), m_owner(parent), m_client(new UpdateClient(this)), m_restart(RestartProgram)
{
    m_client->infoUrl = DefaultInfoFileUrl();
    m_client->programUrl = DefaultProgramUrl();
    m_client->programPath = QCoreApplication::applicationFilePath();
    m_client->currentVersion = VersionNumber;
    m_client->publicKey = BuiltInPublicKey();

    // Queued: each step of the client finishes before a question box runs its own event loop.
    connect(m_client, &UpdateClient::updateOffered, this, &TUpdater::UpdateOffered, Qt::QueuedConnection);
    connect(m_client, &UpdateClient::downloadProgress, this, &TUpdater::DownloadProgress,
            Qt::QueuedConnection);
    connect(m_client, &UpdateClient::installed, this, &TUpdater::Installed, Qt::QueuedConnection);
    connect(m_client, &UpdateClient::refused, this, &TUpdater::Refused, Qt::QueuedConnection);
}

void TUpdater::Start()
{
    m_client->Start();
}

void TUpdater::UpdateOffered(const QString &version)
{
    const QString question = QStringLiteral("发现新版本 %1（当前版本 %2）。\n是否现在下载并升级？")
                                 .arg(version, m_client->currentVersion);
    if (!MsgAsk(question)) {
        m_client->DeclineOffer();
        return;
    }

    // Not modal: the user may go on working while the file arrives.
    auto *progress = new QProgressDialog(m_owner);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setFont(DialogFont(12));
    progress->setWindowTitle(SysSet.AppTitle);
    progress->setLabelText(QStringLiteral("正在下载新版本 %1 …").arg(version));
    auto *cancel = new QPushButton(QStringLiteral("取消"), progress);
    cancel->setAutoDefault(false);
    progress->setCancelButton(cancel);
    progress->setRange(0, 1000);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setValue(0);
    connect(progress, &QProgressDialog::canceled, m_client, &UpdateClient::CancelDownload);
    connect(progress, &QProgressDialog::canceled, this, &TUpdater::CloseProgress);
    m_progress = progress;
    progress->show();

    m_client->AcceptOffer();
}

void TUpdater::DownloadProgress(qint64 received, qint64 total)
{
    if (m_progress && total > 0) m_progress->setValue(int(received * 1000 / total));
}

void TUpdater::CloseProgress()
{
    if (!m_progress) return;
    m_progress->disconnect(); // closing a progress dialog would report a cancel
    m_progress->hide();
    m_progress->deleteLater();
    m_progress = nullptr;
}

void TUpdater::Refused(const QString &message)
{
    CloseProgress();
    MsgWarn(message);
}

void TUpdater::Installed(const QString &version)
{
    CloseProgress();
    const QString question =
        QStringLiteral("已升级到版本 %1。\n是否立即重新启动程序？（选择“否”则下次启动时使用新版本。）")
            .arg(version);
    if (MsgAsk(question) && m_restart) m_restart(m_client->programPath);
}
