#pragma once

#include "core/instance/InstanceMessage.h"

#include <QObject>
#include <QString>
#include <functional>

class Clock;
class QLocalServer;
class QLocalSocket;

// Keeps one Pobi per user session. The first process takes a lock file and listens on a local
// socket beside it; a later one hands its request ("open", "toggle", a line to run, a question)
// to it, prints the answer and exits instead of adding a second tray item. The lock, held for the
// life of the process, makes the claim atomic: whoever holds it owns the socket, so a start never
// removes a live one's socket.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // What claim() ended in.
    enum class Claim {
        Primary,    // this process is the running instance now
        Handed,     // the running instance took the request
        Unanswered, // an instance holds the lock but did not answer in time
        Unavailable // no private place for the socket: run alone
    };
    // Delivered: a reply came, saying ok or why not.
    enum class Sent { Delivered, NobodyListening, NoAnswer };
    // Answers a request of a later process, on the main thread.
    using Handler = std::function<InstanceMessage::Reply(const InstanceMessage::Message&)>;

    // Limits on what a client may cost the running instance.
    static constexpr int maxConnections = 8;
    static constexpr int idleMs = 5000;

    // socketPath: where to listen; empty means defaultPath(). The clock times out idle clients.
    explicit SingleInstance(QString socketPath = QString(), QObject* parent = nullptr);
    SingleInstance(QString socketPath, Clock& clock, QObject* parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/pobi.sock. Without that folder: pobi.sock in a folder of the temporary
    // folder private to this user (0700, created if missing); empty, with a warning, when that
    // folder exists but belongs to someone else or is open to others.
    static QString defaultPath();
    QString socketPath() const { return m_path; }

    // Becomes the running instance or hands message to it, waiting up to timeoutMs for an
    // instance that holds the lock but is still starting. When handed, *reply (if given) is
    // the running instance's answer.
    Claim claim(const InstanceMessage::Message& message, int timeoutMs = 10000,
                InstanceMessage::Reply* reply = nullptr);

    // Hands message to the running instance and stores its answer in *reply (if given). Blocks
    // for at most timeoutMs once connected.
    Sent send(const InstanceMessage::Message& message, int timeoutMs = 10000,
              InstanceMessage::Reply* reply = nullptr) const;

    // Takes the lock and listens. A socket file left by a process that died is replaced. False
    // if another instance holds the lock, or the socket cannot be created.
    bool listen();
    bool listening() const;
    // Requests wait, unread, until a handler is set: a later process started while this one
    // is still starting up gets its answer once it is ready.
    void setHandler(Handler handler);

private:
    void accept();
    void serve(QLocalSocket* socket);
    // Reads the socket's request once it is whole and answers it.
    void answer(QLocalSocket* socket);
    void unlock();

    QString m_path;
    Clock& m_clock;
    QLocalServer* m_server = nullptr;
    int m_lockFd = -1;
    bool m_cannotListen = false;
    int m_connections = 0;
    Handler m_handler;
};
