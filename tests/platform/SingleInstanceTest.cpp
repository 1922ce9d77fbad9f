#include "instance/SingleInstance.h"

#include "TestDirs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstring>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

using InstanceMessage::Request;

namespace {

// The client blocks while the server needs the event loop, so the client runs on a thread.
bool sendFromThread(const QString& path, Request request) {
    auto result = std::async(std::launch::async, [path, request] {
        return SingleInstance(path).sendToRunning(request, 3000);
    });
    QElapsedTimer t;
    t.start();
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready &&
           t.elapsed() < 5000)
        QCoreApplication::processEvents();
    return result.get();
}

// A socket file whose server died without removing it.
void makeStaleSocket(const QString& path) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = path.toLocal8Bit();
    ASSERT_LT(static_cast<size_t>(p.size()), sizeof(addr.sun_path));
    std::memcpy(addr.sun_path, p.constData(), static_cast<size_t>(p.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    ::close(fd);
}

} // namespace

TEST(SingleInstance, SecondProcessHandsItsRequestToTheFirst) {
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("pobi.sock"));
    SingleInstance first(path);
    ASSERT_TRUE(first.listen());
    std::vector<Request> got;
    QObject::connect(&first, &SingleInstance::requested, [&](Request r) { got.push_back(r); });

    EXPECT_TRUE(sendFromThread(path, Request::Toggle));
    EXPECT_TRUE(sendFromThread(path, Request::Open));
    EXPECT_EQ(got, (std::vector<Request>{Request::Toggle, Request::Open}));

    // While the first one runs nobody else may take over.
    SingleInstance second(path);
    EXPECT_FALSE(second.listen());
}

TEST(SingleInstance, NobodyRunningMeansTheRequestIsNotTaken) {
    TestDirs dirs;
    EXPECT_FALSE(
        SingleInstance(dirs.file(QStringLiteral("none.sock"))).sendToRunning(Request::Open));
}

TEST(SingleInstance, StaleSocketIsRemovedAndReplaced) {
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("pobi.sock"));
    makeStaleSocket(path);
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_FALSE(SingleInstance(path).sendToRunning(Request::Open, 500));

    SingleInstance instance(path);
    ASSERT_TRUE(instance.listen());
    int got = 0;
    QObject::connect(&instance, &SingleInstance::requested, [&] { ++got; });
    EXPECT_TRUE(sendFromThread(path, Request::Open));
    EXPECT_EQ(got, 1);
}

TEST(SingleInstance, DefaultPathFollowsTheRuntimeDir) {
    TestDirs dirs;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", dirs.path().toLocal8Bit());
    EXPECT_EQ(SingleInstance::defaultPath(), dirs.file(QStringLiteral("pobi.sock")));
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_TRUE(SingleInstance::defaultPath().endsWith(
        QStringLiteral("pobi-%1.sock").arg(static_cast<qulonglong>(::getuid()))));
    qputenv("XDG_RUNTIME_DIR", saved);
}
