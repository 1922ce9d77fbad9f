#include "core/hotkey/Hotkey.h"

#include "core/hotkey/HotkeyKeys.h"
#include "core/hotkey/HotkeyService.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

namespace {

class RecordingHotkeyService final : public HotkeyService {
public:
    void registerHotkey(quint32 keyCode, quint32 modifiers) override {
        registered.push_back({keyCode, modifiers});
        setStatus(Backend::X11);
    }
    void unregisterHotkey() override {
        ++unregistered;
        setStatus(Backend::Unavailable, notRegistered());
    }
    void press() { emit activated(); }

    std::vector<std::pair<quint32, quint32>> registered;
    int unregistered = 0;
};

// The second run destroys its own hotkey while another press is still queued.
TEST(Hotkey, RunsTheActionOnceAfterTheHandlerReturnedAndNotAfterRelease) {
    RecordingHotkeyService service;
    int runs = 0;
    int runsSeenByHandler = -1;
    std::unique_ptr<Hotkey> hotkey;
    hotkey = std::make_unique<Hotkey>(service, 17, 6144, [&] {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        if (++runs == 2)
            hotkey.reset();
    });
    ASSERT_EQ(service.registered, (std::vector<std::pair<quint32, quint32>>{{17u, 6144u}}));

    // What the platform handler would see right after delivering the press.
    QObject::connect(&service, &HotkeyService::activated, [&] { runsSeenByHandler = runs; });
    service.press();
    EXPECT_EQ(runsSeenByHandler, 0);
    EXPECT_EQ(runs, 0);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 1);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 1);

    service.press();
    service.press();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(service.unregistered, 1);
    service.press();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 2);
}

TEST(HotkeyKeys, TranslatesMacKeyCodesAndCarbonMasks) {
    using HotkeyKeys::Combo;
    struct Case {
        quint32 key, mods;
        std::optional<Combo> combo;
        QString trigger, description;
    };
    // Return (36), a code beyond the table (51) and an unknown modifier bit are refused.
    const Case cases[] = {
        {17, 6144, Combo{'t', true, true, false, false}, "CTRL+ALT+t", "control-alt-T"},
        {0, 256 | 512, Combo{'a', false, false, true, true}, "SHIFT+LOGO+a", "shift-super-A"},
        {29, 4096, Combo{'0', true, false, false, false}, "CTRL+0", "control-0"},
        {49, 2048, Combo{' ', false, true, false, false}, "ALT+space", "alt-space"},
        {36, 6144, std::nullopt, {}, {}},
        {51, 6144, std::nullopt, {}, {}},
        {17, 6144 | 1, std::nullopt, {}, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const auto combo = HotkeyKeys::fromCarbon(c.key, c.mods);
        ASSERT_EQ(combo, c.combo);
        if (combo) {
            EXPECT_EQ(HotkeyKeys::portalTrigger(*combo), c.trigger);
            EXPECT_EQ(HotkeyKeys::describe(*combo), c.description);
        }
    }
}

} // namespace
