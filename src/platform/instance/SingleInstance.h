#pragma once

#include "InstanceMessage.h"

#include <QObject>
#include <QString>

class QLocalServer;

// Keeps one Pobi per user session. The first process listens on a local socket; a later one
// hands its request ("open" or "toggle") to it and exits instead of adding a second tray item.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // socketPath: where to listen; empty means defaultPath().
    explicit SingleInstance(QString socketPath = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/pobi.sock, or a per-user name in the temporary folder without one.
    static QString defaultPath();
    QString socketPath() const { return m_path; }

    // Hands request to the running instance; true when it answered that it took it. Blocks for
    // at most timeoutMs.
    bool sendToRunning(InstanceMessage::Request request, int timeoutMs = 2000) const;

    // Becomes the running instance. A socket file that nobody answers on is left over from a
    // process that died, and is removed first. False if another instance answers on the socket,
    // or the socket cannot be created.
    bool listen();
    bool listening() const;

signals:
    // A later process asked for something; delivered on the main thread.
    void requested(InstanceMessage::Request request);

private:
    void accept();

    QString m_path;
    QLocalServer* m_server = nullptr;
};
