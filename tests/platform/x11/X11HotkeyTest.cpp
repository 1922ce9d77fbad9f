#include "core/hotkey/Hotkey.h"
#include "platform/hotkey/HotkeyServiceFactory.h"
#include "platform/x11/X11HotkeyService.h"

#include <QProcess>
#include <QtCore/qtestsupport_core.h>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

constexpr QKeyCombination ctrlAltT(Qt::ControlModifier | Qt::AltModifier, Qt::Key_T);

// Key events arrive in order: a press that is seen to count shows every key sent before it has
// been handled, so no test waits for what a press may still cause.
void xdotool(const QStringList& args) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

// Swaps what keys first and first + 1 type, as a layout switch would; swaps back when it goes.
struct SwappedKeys {
    explicit SwappedKeys(xcb_keycode_t code) : first(code) { swap(); }
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

// Pressing control-alt-T (also with the lock keys on) runs the action once per press, however
// long the key is held. The application's own set-up (the Qt xcb platform's connection and its
// native event filter) hands its events to the same handler: the end-to-end test presses it.
TEST_F(X11Hotkey, EachPressRunsTheActionOnceWhateverTheLayout) {
    X11HotkeyService service;
    int runs = 0;
    const Hotkey hotkey(service, ctrlAltT, [&] { ++runs; });
    ASSERT_EQ(service.backend(), HotkeyService::Backend::X11) << service.reason().toStdString();
    const auto counted = [&](int n) {
        return QTest::qWaitFor([&] { return runs >= n; }) && runs == n;
    };
    // Whether another client finds the key held: a grab follows a new mapping only once the
    // service has read the server's notice of it.
    const auto held = [] {
        X11HotkeyService probe;
        probe.registerHotkey(ctrlAltT);
        return probe.backend() == HotkeyService::Backend::Unavailable;
    };

    xdotool({"key", "t", "ctrl+t", "ctrl+alt+shift+t", "ctrl+alt+t"});
    EXPECT_TRUE(counted(1)) << runs;
    xdotool({"key", "Caps_Lock", "ctrl+alt+t", "Caps_Lock", "Num_Lock", "ctrl+alt+t", "Num_Lock"});
    EXPECT_TRUE(counted(3)) << runs;
    xdotool({"keydown", "ctrl+alt+t", "sleep", "1.5", "keyup", "ctrl+alt+t", "key", "ctrl+alt+t"});
    EXPECT_TRUE(counted(5)) << runs;
    {
        // After a layout switch moved the letter to another key, that key is the one held.
        SwappedKeys moved(28);
        ASSERT_TRUE(QTest::qWaitFor(held));
        xdotool({"key", "ctrl+alt+t"});
        EXPECT_TRUE(counted(6)) << runs;
    }
    EXPECT_TRUE(QTest::qWaitFor(held)); // back on the first key
}

// Under Wayland the xcb platform runs on XWayland, whose grab is not global: only the portal is.
TEST(HotkeyFactory, PicksTheBackendForTheSession) {
    using B = HotkeyService::Backend;
    const std::tuple<const char*, QStringList, B> rows[] = {
        {"xcb", {"DISPLAY=:1", "XDG_SESSION_TYPE=x11"}, B::X11},
        {"xcb", {"DISPLAY=:1", "WAYLAND_DISPLAY=wayland-0"}, B::Portal},
        {"xcb", {"DISPLAY=:1", "XDG_SESSION_TYPE=wayland"}, B::Portal},
        {"xcb", {"DISPLAY=:1", "WAYLAND_DISPLAY="}, B::X11},
        {"wayland", {"WAYLAND_DISPLAY=wayland-0"}, B::Portal},
        {"offscreen", {}, B::Unavailable},
    };
    for (const auto& [platform, pairs, backend] : rows) {
        QProcessEnvironment env;
        for (const QString& pair : pairs)
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        EXPECT_EQ(HotkeyServiceFactory::choose(QLatin1String(platform), env), backend)
            << platform << " " << pairs.join(QLatin1Char(' ')).toStdString();
    }
}

} // namespace
