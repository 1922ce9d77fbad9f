#include "Hotkey.h"
#include "HotkeyServiceFactory.h"
#include "Spin.h"
#include "x11/X11HotkeyService.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

void press(const QStringList& keys) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), QStringList{"key"} + keys), 0);
    spin(300); // whatever the press may still cause has been delivered
}

class X11Hotkey : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server (run through scripts/test)";
    }
};

// Pressing control-alt-T (also with the lock keys on) runs the action once per press, on the main
// thread, after the handler returned; once released, the key is another client's.
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

    press({"ctrl+alt+t"});
    ASSERT_TRUE(spinUntil([&] { return runs == 1; }));
    spin(300);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(runsSeenByHandler, std::vector<int>{0});
    press({"t", "ctrl+t", "ctrl+alt+shift+t"});
    EXPECT_EQ(runs, 1);
    press({"Caps_Lock", "ctrl+alt+t", "Caps_Lock", "Num_Lock", "ctrl+alt+t", "Num_Lock"});
    ASSERT_TRUE(spinUntil([&] { return runs == 3; }));

    hotkey.reset();
    EXPECT_EQ(service.backend(), HotkeyService::Backend::Unavailable);
    X11HotkeyService other;
    int otherPresses = 0;
    QObject::connect(&other, &HotkeyService::activated, [&] { ++otherPresses; });
    other.registerHotkey(17, 6144);
    ASSERT_EQ(other.backend(), HotkeyService::Backend::X11) << other.reason().toStdString();
    press({"ctrl+alt+t"});
    ASSERT_TRUE(spinUntil([&] { return otherPresses == 1; }));
    spin(300);
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(runsSeenByHandler.size(), 3u);
}

// The application's own set-up in another process (the Qt xcb platform's connection and its
// native event filter) holds the key: here it is unavailable, and the holder's action still runs
// once, on its main thread, after its handler.
TEST_F(X11Hotkey, AnotherProcessHoldingTheKeyMakesItUnavailableAndTheHolderStillWorks) {
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(POBI_HOTKEY_PROBE), {});
    QString out;
    const auto saw = [&](const char* text) {
        return spinUntil([&] {
            out += QString::fromUtf8(probe.readAllStandardOutput());
            return out.contains(QLatin1String(text));
        });
    };
    ASSERT_TRUE(saw("status x11")) << out.toStdString();

    X11HotkeyService here;
    here.registerHotkey(17, 6144);
    EXPECT_EQ(here.backend(), HotkeyService::Backend::Unavailable);
    EXPECT_EQ(here.reason(), QStringLiteral("control-alt-T is taken by another program"));

    press({"ctrl+alt+t"});
    ASSERT_TRUE(saw("pressed")) << out.toStdString();
    spin(300);
    saw("");
    EXPECT_EQ(out.count(QLatin1String("pressed")), 1) << out.toStdString();
    EXPECT_TRUE(out.contains(QLatin1String("pressed main after\n"))) << out.toStdString();
    probe.kill();
    probe.waitForFinished(3000);
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

// Under Wayland the xcb platform runs on XWayland, whose grab is not global: only the portal is.
TEST(HotkeyFactory, PicksTheBackendForTheSession) {
    using B = HotkeyService::Backend;
    const struct {
        const char* platform;
        QStringList env;
        B backend;
    } rows[] = {
        {"xcb", {"DISPLAY=:1", "XDG_SESSION_TYPE=x11"}, B::X11},
        {"xcb", {"DISPLAY=:1", "WAYLAND_DISPLAY=wayland-0"}, B::Portal},
        {"xcb", {"DISPLAY=:1", "XDG_SESSION_TYPE=wayland"}, B::Portal},
        {"xcb", {"DISPLAY=:1", "WAYLAND_DISPLAY="}, B::X11},
        {"wayland", {"WAYLAND_DISPLAY=wayland-0"}, B::Portal},
        {"offscreen", {}, B::Unavailable},
    };
    for (const auto& row : rows) {
        QProcessEnvironment env;
        for (const QString& pair : row.env)
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        EXPECT_EQ(HotkeyServiceFactory::choose(QLatin1String(row.platform), env), row.backend)
            << row.platform << " " << row.env.join(QLatin1Char(' ')).toStdString();
    }
}

} // namespace
