#include "Hotkey.h"
#include "HotkeyServiceFactory.h"
#include "Spin.h"
#include "x11/X11HotkeyService.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>

namespace {

void press(const QStringList& keys) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), QStringList{"key"} + keys), 0);
    spin(300); // whatever the press may still cause has been delivered
}

// Holds the keys down long enough for the server to repeat them; the hold itself is the subject.
void hold(const QString& keys) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("keydown"), keys}), 0);
    spin(1500);
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("keyup"), keys}), 0);
}

// Swaps what keys first and first + 1 type, as a layout switch would; swaps back when it goes.
struct SwappedKeys {
    explicit SwappedKeys(xcb_keycode_t first) : first(first) { swap(); }
    ~SwappedKeys() { swap(); }
    void swap() const {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        auto* map = xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, 2), 0);
        const int per = map->keysyms_per_keycode;
        xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        std::rotate(syms, syms + per, syms + 2 * per);
        xcb_change_keyboard_mapping(c, 2, first, per, syms);
        std::free(map);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // round trip
        xcb_disconnect(c);
    }
    xcb_keycode_t first;
};

class X11Hotkey : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server (run through scripts/test)";
    }
};

// Pressing control-alt-T (also with the lock keys on) runs the action once per press, on the main
// thread; once released, the key is another client's.
TEST_F(X11Hotkey, EachPressRunsTheActionOnceWhateverTheLayoutAndReleaseStopsIt) {
    X11HotkeyService service;
    int runs = 0;
    auto hotkey =
        std::make_unique<Hotkey>(service, Hotkey::checked(17), Hotkey::checked(6144), [&] {
            EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
            ++runs;
        });
    ASSERT_EQ(service.backend(), HotkeyService::Backend::X11) << service.reason().toStdString();

    press({"ctrl+alt+t"});
    ASSERT_TRUE(spinUntil([&] { return runs == 1; }));
    press({"t", "ctrl+t", "ctrl+alt+shift+t"});
    EXPECT_EQ(runs, 1);
    press({"Caps_Lock", "ctrl+alt+t", "Caps_Lock", "Num_Lock", "ctrl+alt+t", "Num_Lock"});
    ASSERT_TRUE(spinUntil([&] { return runs == 3; }));
    // A long press counts once: everything it sent has arrived before the next press does.
    hold(QStringLiteral("ctrl+alt+t"));
    press({"ctrl+alt+t"});
    ASSERT_TRUE(spinUntil([&] { return runs >= 5; }));
    EXPECT_EQ(runs, 5);
    {
        // After a layout switch moved the letter to another key, that key is the one held.
        SwappedKeys moved(28);
        ASSERT_TRUE(spinUntil([&] {
            X11HotkeyService probe;
            probe.registerHotkey(17, 6144);
            return probe.backend() == HotkeyService::Backend::Unavailable;
        }));
        press({"ctrl+alt+t"});
        ASSERT_TRUE(spinUntil([&] { return runs == 6; }));
    }

    hotkey.reset();
    EXPECT_EQ(service.backend(), HotkeyService::Backend::Unavailable);
    X11HotkeyService other;
    int otherPresses = 0;
    QObject::connect(&other, &HotkeyService::activated, [&] { ++otherPresses; });
    other.registerHotkey(17, 6144);
    ASSERT_EQ(other.backend(), HotkeyService::Backend::X11) << other.reason().toStdString();
    press({"ctrl+alt+t"});
    ASSERT_TRUE(spinUntil([&] { return otherPresses == 1; }));
    EXPECT_EQ(runs, 6);
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
    const auto presses = [&] {
        out += QString::fromUtf8(probe.readAllStandardOutput());
        return out.count(QLatin1String("pressed"));
    };
    ASSERT_TRUE(spinUntil([&] { return presses() >= 0 && out.contains("status x11"); }))
        << out.toStdString();

    X11HotkeyService here;
    here.registerHotkey(17, 6144);
    EXPECT_EQ(here.backend(), HotkeyService::Backend::Unavailable);
    EXPECT_EQ(here.reason(), QStringLiteral("control-alt-T is taken by another program"));

    // A long press counts once too: all it sent has arrived before the next press does.
    press({"ctrl+alt+t"});
    hold(QStringLiteral("ctrl+alt+t"));
    press({"ctrl+alt+t"});
    ASSERT_TRUE(spinUntil([&] { return presses() >= 3; })) << out.toStdString();
    EXPECT_EQ(presses(), 3) << out.toStdString();
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
