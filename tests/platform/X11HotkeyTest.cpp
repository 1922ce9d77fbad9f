#include "Hotkey.h"
#include "HotkeyServiceFactory.h"
#include "x11/X11HotkeyService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs the event loop until pred holds or ms have passed; true if it held.
bool waitUntil(const std::function<bool()>& pred, int ms = 5000) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!pred()) {
        if (elapsed.elapsed() > ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Lets the server deliver whatever a key press may still cause.
void settle() {
    waitUntil([] { return false; }, 300);
}

void press(const QStringList& keys) {
    QStringList args{QStringLiteral("key")};
    args << keys;
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

class X11Hotkey : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server (run through scripts/test)";
    }
};

// The application's hotkey on a private X connection: pressing control-alt-T (also with the lock
// keys on) runs the action once per press, on the main thread, after the handler returned.
TEST_F(X11Hotkey, PressRunsTheActionOnceAfterTheHandlerAndReleaseStopsIt) {
    X11HotkeyService service;
    int runs = 0;
    std::vector<int> runsSeenByHandler;
    auto hotkey =
        std::make_unique<Hotkey>(service, Hotkey::checked(17), Hotkey::checked(6144), [&] {
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            ++runs;
        });
    // Connected after the Hotkey: the last thing the handler does.
    QObject::connect(&service, &HotkeyService::activated,
                     [&] { runsSeenByHandler.push_back(runs); });
    ASSERT_EQ(service.backend(), HotkeyService::Backend::X11) << service.reason().toStdString();

    press({QStringLiteral("ctrl+alt+t")});
    ASSERT_TRUE(waitUntil([&] { return runs == 1; }));
    settle();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(runsSeenByHandler, std::vector<int>{0});

    // Neither a plain T, control-T nor control-alt-shift-T is the hotkey.
    press({QStringLiteral("t"), QStringLiteral("ctrl+t"), QStringLiteral("ctrl+alt+shift+t")});
    settle();
    EXPECT_EQ(runs, 1);

    // CapsLock and NumLock on.
    press({QStringLiteral("Caps_Lock"), QStringLiteral("ctrl+alt+t"), QStringLiteral("Caps_Lock")});
    ASSERT_TRUE(waitUntil([&] { return runs == 2; }));
    press({QStringLiteral("Num_Lock"), QStringLiteral("ctrl+alt+t"), QStringLiteral("Num_Lock")});
    ASSERT_TRUE(waitUntil([&] { return runs == 3; }));

    hotkey.reset();
    EXPECT_EQ(service.backend(), HotkeyService::Backend::Unavailable);
    // Released: the key is free for another client, and this one no longer hears it.
    X11HotkeyService other;
    int otherPresses = 0;
    QObject::connect(&other, &HotkeyService::activated, [&] { ++otherPresses; });
    other.registerHotkey(17, 6144);
    ASSERT_EQ(other.backend(), HotkeyService::Backend::X11) << other.reason().toStdString();
    press({QStringLiteral("ctrl+alt+t")});
    ASSERT_TRUE(waitUntil([&] { return otherPresses == 1; }));
    settle();
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(runsSeenByHandler.size(), 3u);
}

TEST_F(X11Hotkey, AGrabHeldByAnotherClientLeavesItUnavailable) {
    X11HotkeyService first;
    first.registerHotkey(17, 6144);
    ASSERT_EQ(first.backend(), HotkeyService::Backend::X11);

    X11HotkeyService second;
    int changes = 0;
    QObject::connect(&second, &HotkeyService::statusChanged, [&] { ++changes; });
    second.registerHotkey(17, 6144);
    EXPECT_EQ(second.backend(), HotkeyService::Backend::Unavailable);
    EXPECT_EQ(second.reason(), QStringLiteral("control-alt-T is taken by another program"));
    EXPECT_EQ(changes, 1);

    // The failed attempt must not have disturbed the holder's grab.
    int presses = 0;
    QObject::connect(&first, &HotkeyService::activated, [&] { ++presses; });
    press({QStringLiteral("ctrl+alt+t")});
    EXPECT_TRUE(waitUntil([&] { return presses == 1; }));
}

TEST(X11HotkeyNoServer, WithoutAnXServerItIsUnavailable) {
    const QByteArray saved = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":9999");
    X11HotkeyService service;
    qputenv("DISPLAY", saved);
    service.registerHotkey(17, 6144);
    EXPECT_EQ(service.backend(), HotkeyService::Backend::Unavailable);
    EXPECT_EQ(service.reason(), QStringLiteral("cannot connect to the X server"));
}

// The application's own set-up in another process: the Qt xcb platform's connection and its
// native event filter.
class Probe {
public:
    Probe() {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_process.setProcessEnvironment(env);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine())
                m_lines << QString::fromUtf8(m_process.readLine()).trimmed();
        });
        m_process.start(QStringLiteral(POBI_HOTKEY_PROBE), {});
    }
    ~Probe() {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }
    bool waitForLine(const QString& prefix) {
        return waitUntil([&] {
            return std::any_of(m_lines.begin(), m_lines.end(),
                               [&](const QString& l) { return l.startsWith(prefix); });
        });
    }
    QStringList lines(const QString& prefix) const {
        QStringList out;
        for (const QString& l : m_lines)
            if (l.startsWith(prefix))
                out << l;
        return out;
    }

private:
    QProcess m_process;
    QStringList m_lines;
};

TEST_F(X11Hotkey, AnotherProcessHoldingTheKeyMakesItUnavailableAndTheHolderStillWorks) {
    Probe holder;
    ASSERT_TRUE(holder.waitForLine(QStringLiteral("status x11")));

    X11HotkeyService here;
    here.registerHotkey(17, 6144);
    EXPECT_EQ(here.backend(), HotkeyService::Backend::Unavailable);
    EXPECT_EQ(here.reason(), QStringLiteral("control-alt-T is taken by another program"));

    press({QStringLiteral("ctrl+alt+t")});
    ASSERT_TRUE(holder.waitForLine(QStringLiteral("pressed")));
    settle();
    EXPECT_EQ(holder.lines(QStringLiteral("pressed")).join(QLatin1Char('|')).toStdString(),
              "pressed main after");
}

TEST_F(X11Hotkey, TheSecondProcessIsToldTheKeyIsTaken) {
    X11HotkeyService here;
    here.registerHotkey(17, 6144);
    ASSERT_EQ(here.backend(), HotkeyService::Backend::X11);
    Probe late;
    EXPECT_TRUE(late.waitForLine(
        QStringLiteral("status unavailable control-alt-T is taken by another program")));
}

} // namespace

namespace {
TEST(HotkeyServiceFactory, WithoutAGuiPlatformItExplainsTheWayAround) {
    // This program is a QCoreApplication: neither xcb nor Wayland.
    auto service = HotkeyServiceFactory::create();
    service->registerHotkey(17, 6144);
    EXPECT_EQ(service->backend(), HotkeyService::Backend::Unavailable);
    EXPECT_EQ(service->reason(),
              QStringLiteral("no X11 or portal: bind a shortcut to pobi --toggle"));
}
} // namespace
