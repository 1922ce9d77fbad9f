#include "platform/instance/SingleInstance.h"

#include "FakeClock.h"
#include "LogCapture.h"
#include "TestDirs.h"

#include <QFile>
#include <QLocalSocket>
#include <QtCore/qtestsupport_core.h>
#include <cstring>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using InstanceMessage::Message;
using InstanceMessage::Reply;
using InstanceMessage::Request;

namespace {

// The client blocks while the server needs the event loop, so the client runs on a thread.
std::future<std::pair<SingleInstance::Claim, Reply>> claimFromThread(const QString& path,
                                                                     const Message& message) {
    return std::async(std::launch::async, [path, message] {
        Reply reply;
        const SingleInstance::Claim claim = SingleInstance(path).claim(message, 3000, &reply);
        return std::pair{claim, reply};
    });
}

template <typename T> T await(std::future<T> result) {
    (void)QTest::qWaitFor(
        [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    return result.get();
}

// A socket file whose server died without removing it is replaced; then a second process hands
// its requests to the first, which answers once it has a handler, and nobody else may take over.
// A line without end is refused at its limit and one it does not understand with the reason
// (which lines those are is the message format's test), so a client cannot hoard its memory.
TEST(SingleInstance, SecondProcessHandsItsRequestToTheFirstWhichRefusesGarbage) {
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("pobi.sock"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.toLocal8Bit().constData(), sizeof(addr.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    ::close(fd);
    EXPECT_EQ(SingleInstance(path).send({Request::Open, {}}, 500),
              SingleInstance::Sent::NobodyListening);

    SingleInstance first(path);
    ASSERT_EQ(first.claim({Request::Open, {}}), SingleInstance::Claim::Primary);
    // Still starting: the request, arrived, waits unanswered until there is a handler.
    auto early = claimFromThread(path, {Request::Run, QStringLiteral("25m\ntea")});
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto sockets = first.findChildren<QLocalSocket*>();
        return !sockets.isEmpty() && sockets[0]->canReadLine();
    }));
    EXPECT_EQ(early.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
    // The answer tells which request came with which text.
    first.setHandler([](const Message& m) {
        return Reply{m.request != Request::Status, QString::number(int(m.request)) + m.text};
    });
    using Claim = SingleInstance::Claim;
    EXPECT_EQ(await(std::move(early)),
              std::pair(Claim::Handed, Reply{true, QStringLiteral("225m\ntea")}));
    EXPECT_EQ(await(claimFromThread(path, {Request::Status, {}})),
              std::pair(Claim::Handed, Reply{false, QStringLiteral("3")}));
    EXPECT_FALSE(SingleInstance(path).listen());

    for (const auto& [line, reason] :
         {std::pair<QByteArray, const char*>{QByteArray(64 * 1024, 'x'), "request too long"},
          {"pobi 9 status\n", "not a request this Pobi understands"}}) {
        QLocalSocket client;
        client.connectToServer(path);
        client.write(line);
        ASSERT_TRUE(QTest::qWaitFor([&] { return client.canReadLine(); }, 5000)) << reason;
        EXPECT_EQ(InstanceMessage::parseReply(client.readLine()),
                  (Reply{false, QString::fromLatin1(reason)}));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return client.state() == QLocalSocket::UnconnectedState; }, 5000));
    }
}

// Without XDG_RUNTIME_DIR the socket lives in a folder of the temporary folder that only this
// user may enter; once it is open to others, it is refused (the other user might answer).
TEST(SingleInstance, WithoutRuntimeFolderOnlyAPrivateFolderIsUsed) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    TestDirs dirs;
    qputenv("TMPDIR", QFile::encodeName(dirs.path()));
    const QString folder = dirs.file(QStringLiteral("pobi-%1").arg(::geteuid()));
    const QString path = SingleInstance::defaultPath();
    EXPECT_EQ(path, folder + QStringLiteral("/pobi.sock"));
    EXPECT_EQ(SingleInstance(path).claim({Request::Open, {}}), SingleInstance::Claim::Primary);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    const LogCapture log;
    EXPECT_EQ(SingleInstance::defaultPath(), QString());
    EXPECT_EQ(log.messages().size(), 1);
    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("TMPDIR", tmp);
}

// Nobody may hold the running instance's connections: those past the cap are closed at once, and
// a silent one is dropped after a while.
TEST(SingleInstance, SurplusAndSilentConnectionsAreClosed) {
    TestDirs dirs;
    FakeClock clock;
    SingleInstance server(dirs.file(QStringLiteral("pobi.sock")), clock);
    ASSERT_TRUE(server.listen());
    QLocalSocket idle[SingleInstance::maxConnections + 4];
    for (QLocalSocket& socket : idle)
        socket.connectToServer(dirs.file(QStringLiteral("pobi.sock")));
    const auto open = [&] {
        return std::count_if(std::begin(idle), std::end(idle), [](const QLocalSocket& s) {
            return s.state() == QLocalSocket::ConnectedState;
        });
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return open() == SingleInstance::maxConnections; }, 5000))
        << open();
    clock.advance(SingleInstance::idleMs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return open() == 0; }, 5000)) << open();
}

} // namespace
