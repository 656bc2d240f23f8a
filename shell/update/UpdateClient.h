#pragma once
#include "shell/update/UpdateInfo.h"

#include <QCryptographicHash>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTcpSocket;

// Checks the update host for a newer build, and downloads, verifies and installs it. It never
// blocks: everything runs on the event loop. It shows nothing itself; the user-facing side
// (question, progress, restart) listens to its signals and calls AcceptOffer() or DeclineOffer().
//
// Sequence after Start(): wait startDelay, then every checkInterval try to open a connection to
// the info file's host. The first time that works, read the info file once and stop looking.
// Unreachable host, missing or unreadable info file, or no newer version: Finished, silently.
// A newer version whose signature doesn't verify is refused. Otherwise the offer is made; on
// acceptance the program is downloaded to the staging file, its size and SHA-256 are checked
// against the signed info, and it is installed in place of the program (see ProgramFile.h).
class UpdateClient : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, WaitingOnline, ReadingInfo, Offering, Downloading, Installed, Finished };
    Q_ENUM(State)

    explicit UpdateClient(QObject *parent = nullptr);
    ~UpdateClient() override;

    // Settings; change them before Start().
    QUrl infoUrl;
    QUrl programUrl;
    QString programPath;
    QString currentVersion;
    QByteArray publicKey; // 32 bytes
    int startDelayMs = 10000;
    int checkIntervalMs = 10000;
    int connectTimeoutMs = 5000;   // one online check; kept below checkIntervalMs
    int transferTimeoutMs = 60000; // no data for this long ends a transfer

    void Start();
    void AcceptOffer();
    void DeclineOffer();
    void CancelDownload(); // the user gave up: nothing installed, no message

    State state() const { return m_state; }
    const UpdateInfo &offer() const { return m_offer; }

signals:
    void stateChanged(UpdateClient::State state);
    // One look whether the update host can be reached.
    void onlineChecked(bool online);
    void updateOffered(const QString &version);
    void downloadProgress(qint64 received, qint64 total);
    void installed(const QString &version);
    // A refused or failed update the user should hear about; the program file is untouched.
    void refused(const QString &message);

private:
    void SetState(State state);
    void LookOnline();
    void ReadInfo();
    void InfoFinished();
    void DownloadData();
    void DownloadFinished();
    void Refuse(const QString &message);
    void DropDownload();

    State m_state = State::Idle;
    QTimer m_checkTimer;
    QNetworkAccessManager *m_net;
    QPointer<QTcpSocket> m_probe;
    QPointer<QNetworkReply> m_reply;
    UpdateInfo m_offer;
    QFile m_staging;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    qint64 m_received = 0;
    bool m_cancelled = false;
    QString m_failure; // set when the download was aborted for a reason of ours
};
