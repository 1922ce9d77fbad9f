#include "SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <unistd.h>

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), m_path(socketPath.isEmpty() ? defaultPath() : std::move(socketPath)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("pobi.sock"));
    return QDir(QDir::tempPath())
        .filePath(QStringLiteral("pobi-%1.sock").arg(static_cast<qulonglong>(::getuid())));
}

bool SingleInstance::sendToRunning(InstanceMessage::Request request, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(InstanceMessage::request(request));
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return InstanceMessage::parseReply(socket.readLine());
}

bool SingleInstance::listening() const {
    return m_server && m_server->isListening();
}

bool SingleInstance::listen() {
    if (listening())
        return true;
    {
        // Someone answering means a live instance; a refused or missing socket is stale.
        QLocalSocket probe;
        probe.connectToServer(m_path);
        if (probe.waitForConnected(500))
            return false;
    }
    QLocalServer::removeServer(m_path);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_path)) {
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<QLocalSocket> guard(socket);
        auto handle = [this, guard] {
            if (!guard || !guard->canReadLine())
                return;
            const auto request = InstanceMessage::parseRequest(guard->readLine());
            guard->write(InstanceMessage::reply(request.has_value()));
            guard->flush();
            guard->disconnectFromServer();
            if (request)
                emit requested(*request);
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        handle(); // the line may have arrived with the connection
    }
}
