#include "instance/SingleInstance.h"

#include "TestDirs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

TEST(SingleInstance, SecondProcessHandsItsRequestToTheFirst) {
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("pobi.sock"));
    EXPECT_FALSE(SingleInstance(path).sendToRunning(Request::Open)) << "nobody is running yet";
    SingleInstance first(path);
    ASSERT_TRUE(first.listen());
    std::vector<Request> got;
    QObject::connect(&first, &SingleInstance::requested, [&](Request r) { got.push_back(r); });

    EXPECT_TRUE(sendFromThread(path, Request::Toggle));
    EXPECT_TRUE(sendFromThread(path, Request::Open));
    EXPECT_EQ(got, (std::vector<Request>{Request::Toggle, Request::Open}));
    EXPECT_FALSE(SingleInstance(path).listen()) << "nobody else may take over";
}

// A socket file whose server died without removing it is replaced.
TEST(SingleInstance, StaleSocketIsRemovedAndReplaced) {
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("pobi.sock"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.toLocal8Bit().constData(), sizeof(addr.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    ::close(fd);
    EXPECT_FALSE(SingleInstance(path).sendToRunning(Request::Open, 500));

    SingleInstance instance(path);
    ASSERT_TRUE(instance.listen());
    int got = 0;
    QObject::connect(&instance, &SingleInstance::requested, [&] { ++got; });
    EXPECT_TRUE(sendFromThread(path, Request::Open));
    EXPECT_EQ(got, 1);
}

} // namespace
