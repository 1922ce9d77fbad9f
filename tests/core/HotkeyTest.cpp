#include "Hotkey.h"

#include "HotkeyKeys.h"
#include "HotkeyService.h"
#include "PopoverUI.h"
#include "UnavailableHotkeyService.h"

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
    void failWith(const QString& reason) { fail(reason); }

    std::vector<std::pair<quint32, quint32>> registered;
    int unregistered = 0;
};

TEST(Hotkey, RunsTheActionOnceAfterTheHandlerReturnedAndReleasesOnDestruction) {
    RecordingHotkeyService service;
    int runs = 0;
    int runsSeenByHandler = -1;
    auto hotkey = std::make_unique<Hotkey>(service, 17, 6144, [&] {
        ++runs;
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
    });
    ASSERT_EQ(service.registered.size(), 1u);
    EXPECT_EQ(service.registered[0], std::make_pair(17u, 6144u));
    EXPECT_EQ(service.backend(), HotkeyService::Backend::X11);

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
    hotkey.reset(); // released before the queued press is delivered
    EXPECT_EQ(service.unregistered, 1);
    EXPECT_EQ(service.reason(), HotkeyService::notRegistered());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 1);
    service.press();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 1);
}

TEST(Hotkey, AnActionThatDestroysItsHotkeyIsSafe) {
    RecordingHotkeyService service;
    std::unique_ptr<Hotkey> hotkey;
    int runs = 0;
    hotkey = std::make_unique<Hotkey>(service, 17, 6144, [&] {
        ++runs;
        hotkey.reset();
    });
    service.press();
    service.press(); // two presses queued; the first destroys the hotkey
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(service.unregistered, 1);
}

TEST(Hotkey, SurvivesItsServiceAndActsOnNothingWithoutAnAction) {
    auto service = std::make_unique<RecordingHotkeyService>();
    Hotkey empty(*service, 17, 6144, {});
    service->press();
    QCoreApplication::sendPostedEvents(); // no action: nothing to run, nothing to crash
    service.reset();                      // the hotkey must not touch the dead service when it goes
}

TEST(Hotkey, StatusChangesAreAnnouncedOnceAndFailuresKeepTheirReason) {
    RecordingHotkeyService service;
    int changes = 0;
    QObject::connect(&service, &HotkeyService::statusChanged, [&] { ++changes; });
    service.failWith(QStringLiteral("taken"));
    service.failWith(QStringLiteral("taken"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(service.status(), (HotkeyService::Status{HotkeyService::Backend::Unavailable,
                                                       QStringLiteral("taken")}));
    service.registerHotkey(17, 6144);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(service.reason().isEmpty());

    UnavailableHotkeyService none(QStringLiteral("no way"));
    none.registerHotkey(17, 6144);
    EXPECT_EQ(none.backend(), HotkeyService::Backend::Unavailable);
    EXPECT_EQ(none.reason(), QStringLiteral("no way"));
}

TEST(HotkeyDeathTest, ValuesBeyondThirtyTwoBitsStopTheProcess) {
    EXPECT_EQ(Hotkey::checked(6144), 6144u);
    EXPECT_EQ(Hotkey::checked(4294967295LL), 4294967295u);
    EXPECT_DEATH(Hotkey::checked(4294967296LL), "32 bits");
    EXPECT_DEATH(Hotkey::checked(-1), "32 bits");
}

TEST(HotkeyKeys, TranslatesMacKeyCodesAndCarbonMasks) {
    using HotkeyKeys::Combo;
    struct Case {
        quint32 key, mods;
        std::optional<Combo> combo;
        QString trigger, description;
    };
    const Case cases[] = {
        {17, 6144, Combo{'t', true, true, false, false}, "CTRL+ALT+t", "control-alt-T"},
        {0, 256 | 512, Combo{'a', false, false, true, true}, "SHIFT+LOGO+a", "shift-super-A"},
        {29, 4096, Combo{'0', true, false, false, false}, "CTRL+0", "control-0"},
        {49, 2048, Combo{' ', false, true, false, false}, "ALT+space", "alt-space"},
        {46, 0, Combo{'m', false, false, false, false}, "m", "M"},
        {36, 6144, std::nullopt, {}, {}},     // Return
        {51, 6144, std::nullopt, {}, {}},     // beyond the table
        {17, 6144 | 1, std::nullopt, {}, {}}, // unknown modifier bit
    };
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

TEST(PopoverUI, StartsClosedOnTheMainPageAndAnnouncesChangesAfterStoring) {
    PopoverUI ui;
    EXPECT_EQ(ui.focusToken(), 0);
    EXPECT_FALSE(ui.showSettings());
    ui.close(); // nothing set yet: does nothing

    QStringList seen;
    QObject::connect(&ui, &PopoverUI::changed, [&] {
        seen << QStringLiteral("changed %1 %2").arg(ui.focusToken()).arg(ui.showSettings());
    });
    QObject::connect(&ui, &PopoverUI::focusTokenChanged,
                     [&](int t) { seen << QStringLiteral("focus %1").arg(t); });
    QObject::connect(&ui, &PopoverUI::showSettingsChanged,
                     [&](bool s) { seen << QStringLiteral("settings %1").arg(s); });
    ui.bumpFocus();
    ui.bumpFocus();
    ui.setShowSettings(true);
    EXPECT_EQ(seen, QStringList({"changed 1 0", "focus 1", "changed 2 0", "focus 2", "changed 2 1",
                                 "settings 1"}));

    int closes = 0;
    ui.setClose([&] { ++closes; });
    ui.close();
    ui.setClose([&] { closes += 10; });
    ui.close();
    EXPECT_EQ(closes, 11);
}

} // namespace
