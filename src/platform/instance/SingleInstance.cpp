#include "platform/instance/SingleInstance.h"

#include "core/clock/Clock.h"
#include "core/clock/ClockTimer.h"
#include "core/log/Log.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The uid of the process at the other end of a connected local socket, or -1.
long long peerUid(const QLocalSocket& socket) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                     &credentials, &size) != 0)
        return -1;
    return credentials.uid;
}

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : SingleInstance(std::move(socketPath), Clock::system(), parent) {}

SingleInstance::SingleInstance(QString socketPath, Clock& clock, QObject* parent)
    : QObject(parent), m_path(socketPath.isEmpty() ? defaultPath() : std::move(socketPath)),
      m_clock(clock) {}

SingleInstance::~SingleInstance() {
    // The socket goes before the lock, so whoever takes the lock next finds no live socket.
    delete m_server;
    unlock();
}

QString SingleInstance::defaultPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("pobi.sock"));
    // Any local user can create names in the temporary folder; only a folder that this user
    // owns and nobody else may enter keeps another user from answering in Pobi's place.
    const QString dir =
        QDir(QDir::tempPath()).filePath(QStringLiteral("pobi-%1").arg(qulonglong(::geteuid())));
    const QByteArray native = QFile::encodeName(dir);
    ::mkdir(native.constData(), 0700);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & 077) != 0) {
        qWarning().noquote() << "Pobi: not checking for a running Pobi:" << dir
                             << "is not a folder private to this user";
        return {};
    }
    return QDir(dir).filePath(QStringLiteral("pobi.sock"));
}

SingleInstance::Claim SingleInstance::claim(const InstanceMessage::Message& message, int timeoutMs,
                                            InstanceMessage::Reply* reply) {
    if (m_path.isEmpty())
        return Claim::Unavailable;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (listen()) {
            qCDebug(lcInstance) << "the first Pobi: listening on" << m_path;
            return Claim::Primary;
        }
        if (m_lockFd < 0 || m_cannotListen)
            return Claim::Unavailable; // no lock file, or no socket even with the lock
        switch (send(message, int(deadline.remainingTime()), reply)) {
        case Sent::Delivered:
            qCDebug(lcInstance) << "request handed to the Pobi listening on" << m_path;
            return Claim::Handed;
        case Sent::NoAnswer:
            return Claim::Unanswered;
        case Sent::NobodyListening:
            break;
        }
        if (deadline.hasExpired())
            return Claim::Unanswered;
        // The lock's holder has not set up its socket yet, or has just quit.
        QThread::msleep(20);
    }
}

SingleInstance::Sent SingleInstance::send(const InstanceMessage::Message& message, int timeoutMs,
                                          InstanceMessage::Reply* reply) const {
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(std::min(timeoutMs, 1000)))
        return Sent::NobodyListening;
    if (peerUid(socket) != ::geteuid()) {
        qWarning().noquote() << "Pobi:" << m_path << "is answered by another user; ignored";
        return Sent::NoAnswer;
    }
    // The running instance may still be starting up: it answers once its event loop runs.
    const QDeadlineTimer deadline(timeoutMs);
    socket.write(InstanceMessage::request(message));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return Sent::NoAnswer;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return Sent::NoAnswer;
    }
    const std::optional<InstanceMessage::Reply> answer =
        InstanceMessage::parseReply(socket.readLine());
    if (!answer)
        return Sent::NoAnswer;
    if (reply)
        *reply = *answer;
    return Sent::Delivered;
}

bool SingleInstance::listening() const {
    return m_server && m_server->isListening();
}

bool SingleInstance::listen() {
    if (listening())
        return true;
    if (m_lockFd < 0) {
        const QByteArray lockPath = QFile::encodeName(m_path + QStringLiteral(".lock"));
        m_lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_lockFd < 0) {
            qWarning().noquote() << "Pobi: not checking for a running Pobi:"
                                 << QFile::decodeName(lockPath) << qt_error_string(errno);
            return false;
        }
    }
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0)
        return false;
    // Only the lock's holder listens, so a socket file found now belongs to a process that died.
    QLocalServer::removeServer(m_path);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_path)) {
        qWarning().noquote() << "Pobi: cannot listen on" << m_path << server->errorString();
        delete server;
        ::flock(m_lockFd, LOCK_UN);
        m_cannotListen = true;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::unlock() {
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    m_lockFd = -1;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        ++m_connections;
        connect(socket, &QObject::destroyed, this, [this] { --m_connections; });
        // The socket file is the user's alone, but a folder handed down from elsewhere may not
        // be: a process of another user is never served.
        if (m_connections > maxConnections || peerUid(*socket) != ::geteuid()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        serve(socket);
    }
}

void SingleInstance::serve(QLocalSocket* socket) {
    // A request is one short line: never hold more than that in memory.
    socket->setReadBufferSize(InstanceMessage::maxLine);
    ClockTimer* idle = m_clock.createTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &ClockTimer::timeout, socket, &QLocalSocket::abort);
    idle->start(idleMs);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
    answer(socket); // the line may have arrived with the connection
}

void SingleInstance::setHandler(Handler handler) {
    m_handler = std::move(handler);
    if (m_server) {
        for (QLocalSocket* socket : m_server->findChildren<QLocalSocket*>())
            answer(socket);
    }
}

void SingleInstance::answer(QLocalSocket* socket) {
    if (socket->state() != QLocalSocket::ConnectedState)
        return;
    if (auto* idle = socket->findChild<ClockTimer*>())
        idle->start(idleMs);
    InstanceMessage::Reply reply{false, QStringLiteral("request too long")};
    if (socket->canReadLine()) {
        if (!m_handler)
            return; // answered once there is someone to answer it
        const std::optional<InstanceMessage::Message> message =
            InstanceMessage::parseRequest(socket->readLine());
        QPointer<QLocalSocket> guard(socket);
        if (!message)
            reply.text = QStringLiteral("not a request this Pobi understands");
        else
            reply = m_handler(*message);
        if (!guard) // the handler's work let the connection go
            return;
    } else if (socket->bytesAvailable() < InstanceMessage::maxLine) {
        return; // the rest of the line is still on its way
    }
    socket->write(InstanceMessage::reply(reply));
    socket->flush();
    socket->disconnectFromServer();
}
