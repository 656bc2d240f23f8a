#pragma once
#include "shell/update/UpdateClient.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// The main window's automatic updater (its "Update"). The main window only creates it and calls
// Start(); from then on it works by itself:
//
//   Update = new TUpdater(this);
//   Update->Start();
//
// It waits ten seconds, looks every ten seconds whether the update host can be reached, then
// reads the info file once in the background. Nothing to do (host unreachable, no info file, no
// newer version) stays silent. For a newer, correctly signed version it asks, downloads with a
// progress dialog that can be cancelled, checks the file against the signed size and SHA-256,
// replaces the program file (keeping the previous one as "<program>.old") and offers a restart.
// Every refusal is told with MsgWarn and leaves the program as it was.
class TUpdater : public QObject {
    Q_OBJECT
public:
    static const QString VersionNumber; // "1.1.Beta"
    static const QString VersionDate;   // "08/14/2017", not used for the comparison

    // Built-in locations on the update host (CMake cache variable QEN_UPDATE_HOST, which may
    // carry a port: "host:8080").
    static QUrl DefaultInfoFileUrl();
    static QUrl DefaultProgramUrl();
    // The publisher's Ed25519 public key built into the program.
    static QByteArray BuiltInPublicKey();

    using RestartHandler = std::function<void(const QString &programPath)>;

    // parent: the main window, over which the updater's dialogs appear.
    explicit TUpdater(QWidget *parent = nullptr);

    void Start();

    // Settings, all preset to the built-in values; change them before Start() (tests do).
    UpdateClient *Client() const { return m_client; }
    // What "restart now" does. The default starts the program file anew and leaves the event loop.
    void SetRestartHandler(RestartHandler handler) { m_restart = std::move(handler); }

    // The download's progress dialog while one runs, else null.
    QProgressDialog *Progress() const { return m_progress; }

private:
    void UpdateOffered(const QString &version);
    void DownloadProgress(qint64 received, qint64 total);
    void Installed(const QString &version);
    void Refused(const QString &message);
    void CloseProgress();

    QWidget *m_owner;
    UpdateClient *m_client;
    QPointer<QProgressDialog> m_progress;
    RestartHandler m_restart;
};
