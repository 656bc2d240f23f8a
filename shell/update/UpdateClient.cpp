#include "shell/update/UpdateClient.h"

#include "shell/update/ProgramFile.h"
#include "shell/update/UpdateVersion.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTcpSocket>

namespace {

QNetworkRequest FreshRequest(const QUrl &url, int timeoutMs)
{
    QNetworkRequest request(url);
    // Always ask the host: a cached info file would hide a new release or a withdrawn one.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setTransferTimeout(timeoutMs);
    return request;
}

const char *const kTextSignature = "更新信息的签名无效，已拒绝此次更新。程序未作任何更改。";
const char *const kTextSize = "下载的文件大小与更新信息不符，已丢弃。程序未作任何更改。";
const char *const kTextHash = "下载的文件校验值与更新信息不符，已丢弃。程序未作任何更改。";
const char *const kTextMissing = "更新服务器上找不到新版本的程序文件。程序未作任何更改。";
const char *const kTextConnLost = "与更新服务器的连接中断，下载未完成。程序未作任何更改。";
const char *const kTextWrite = "无法保存新版本的程序文件（%1）。程序未作任何更改。";
const char *const kTextInstall = "无法替换程序文件（%1）。程序未作任何更改。";

} // namespace

UpdateClient::UpdateClient(QObject *parent) : QObject(parent), m_net(new QNetworkAccessManager(this))
{
    m_checkTimer.setSingleShot(true);
    connect(&m_checkTimer, &QTimer::timeout, this, &UpdateClient::LookOnline);
}

UpdateClient::~UpdateClient()
{
    if (m_probe) m_probe->abort();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
    if (m_staging.isOpen()) m_staging.close();
    if (m_state == State::Downloading) QFile::remove(StagingPath(programPath));
}

void UpdateClient::SetState(State state)
{
    if (m_state == state) return;
    m_state = state;
    emit stateChanged(state);
}

void UpdateClient::Start()
{
    if (m_state != State::Idle) return;
    SetState(State::WaitingOnline);
    m_checkTimer.start(startDelayMs);
}

// Online means the update host accepts a connection; a machine without network, or one that
// can't reach the host, is simply asked again at the next interval.
void UpdateClient::LookOnline()
{
    if (m_state != State::WaitingOnline) return;
    m_checkTimer.start(checkIntervalMs);
    if (m_probe) return; // the previous look is still waiting

    auto *probe = new QTcpSocket(this);
    m_probe = probe;
    // Ends the look once, whichever of connection, error or timeout comes first.
    auto done = [this, probe](bool online) {
        if (probe->property("done").toBool()) return;
        probe->setProperty("done", true);
        probe->abort();
        probe->deleteLater();
        emit onlineChecked(online);
        if (online && m_state == State::WaitingOnline) {
            m_checkTimer.stop();
            ReadInfo();
        }
    };
    auto *timeout = new QTimer(probe);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, this, [done] { done(false); });
    connect(probe, &QTcpSocket::connected, this, [done] { done(true); });
    connect(probe, &QTcpSocket::errorOccurred, this, [done] { done(false); });
    timeout->start(std::min(connectTimeoutMs, std::max(1, checkIntervalMs - 1)));
    probe->connectToHost(infoUrl.host(), quint16(infoUrl.port(80)));
}

void UpdateClient::ReadInfo()
{
    SetState(State::ReadingInfo);
    QNetworkReply *reply = m_net->get(FreshRequest(infoUrl, transferTimeoutMs));
    m_reply = reply;
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxInfoFileBytes) reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, &UpdateClient::InfoFinished);
}

void UpdateClient::InfoFinished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    // Anything short of a readable info file naming a newer version ends the check silently.
    if (reply->error() != QNetworkReply::NoError) return SetState(State::Finished);
    const auto info = ParseUpdateInfo(reply->readAll());
    if (!info || !IsNewerVersion(info->version, currentVersion)) return SetState(State::Finished);
    if (!info->SignatureValid(publicKey)) return Refuse(QString::fromUtf8(kTextSignature));

    m_offer = *info;
    SetState(State::Offering);
    emit updateOffered(m_offer.version);
}

void UpdateClient::DeclineOffer()
{
    if (m_state == State::Offering) SetState(State::Finished);
}

void UpdateClient::AcceptOffer()
{
    if (m_state != State::Offering) return;
    m_staging.setFileName(StagingPath(programPath));
    if (!m_staging.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Refuse(QString::fromUtf8(kTextWrite).arg(m_staging.errorString()));
    m_hash.reset();
    m_received = 0;
    m_cancelled = false;
    m_failure.clear();
    SetState(State::Downloading);

    QNetworkReply *reply = m_net->get(FreshRequest(programUrl, transferTimeoutMs));
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &UpdateClient::DownloadData);
    connect(reply, &QNetworkReply::finished, this, &UpdateClient::DownloadFinished);
}

void UpdateClient::DownloadData()
{
    if (!m_reply || !m_failure.isEmpty()) return;
    const QByteArray chunk = m_reply->readAll();
    m_received += chunk.size();
    if (m_received > m_offer.size) {
        m_failure = QString::fromUtf8(kTextSize);
        m_reply->abort();
        return;
    }
    if (m_staging.write(chunk) != chunk.size()) {
        m_failure = QString::fromUtf8(kTextWrite).arg(m_staging.errorString());
        m_reply->abort();
        return;
    }
    m_hash.addData(chunk);
    emit downloadProgress(m_received, m_offer.size);
}

void UpdateClient::CancelDownload()
{
    if (m_state != State::Downloading || !m_reply) return;
    m_cancelled = true;
    m_reply->abort();
}

void UpdateClient::DownloadFinished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    if (m_failure.isEmpty() && !m_cancelled && reply->error() == QNetworkReply::NoError) {
        m_reply = reply; // read what is left before judging
        DownloadData();
        m_reply = nullptr;
    }

    if (m_cancelled) {
        DropDownload();
        return SetState(State::Finished);
    }
    if (!m_failure.isEmpty()) return Refuse(m_failure);
    if (reply->error() == QNetworkReply::ContentNotFoundError) return Refuse(QString::fromUtf8(kTextMissing));
    if (reply->error() != QNetworkReply::NoError) return Refuse(QString::fromUtf8(kTextConnLost));
    if (m_received != m_offer.size) return Refuse(QString::fromUtf8(kTextSize));
    if (m_hash.result() != m_offer.sha256) return Refuse(QString::fromUtf8(kTextHash));

    // Everything on disk before the rename, or a power cut could leave an empty program.
    const bool flushed = m_staging.flush() && SyncFile(m_staging.handle());
    m_staging.close();
    if (!flushed) return Refuse(QString::fromUtf8(kTextWrite).arg(m_staging.errorString()));
    QString why;
    if (!InstallStagedProgram(programPath, &why)) return Refuse(QString::fromUtf8(kTextInstall).arg(why));
    SetState(State::Installed);
    emit installed(m_offer.version);
}

void UpdateClient::DropDownload()
{
    if (m_staging.isOpen()) m_staging.close();
    QFile::remove(StagingPath(programPath));
}

void UpdateClient::Refuse(const QString &message)
{
    DropDownload();
    SetState(State::Finished);
    emit refused(message);
}
