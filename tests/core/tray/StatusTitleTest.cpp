#include "core/tray/StatusTitle.h"

#include "core/tray/StatusMenu.h"

#include <gtest/gtest.h>

using State = TimerEngine::State;

// A finished timer offers nothing to pause or stop; the metronome's item comes first.
TEST(StatusMenu, ItemsPerEngineAndMetronomeState) {
    const auto titles = [](State state, bool metronome) {
        QStringList out;
        for (const auto& item : StatusMenu::items(state, metronome))
            out << item.title;
        return out;
    };
    EXPECT_EQ(titles(State::Done, false), (QStringList{"Open Pobi", "", "Quit Pobi"}));
    EXPECT_EQ(titles(State::Paused, true),
              (QStringList{"Open Pobi", "Stop tempo", "Resume", "Stop", "", "Quit Pobi"}));
}

// The title shows the display given ("24:59") while a run is on; the ring the share left.
TEST(StatusTitle, TitleAndRingPerState) {
    using K = Command::Kind;
    struct Case {
        const char* name;
        State state;
        K kind;
        double remaining;
        qint64 total;
        double elapsed;
        bool metronome;
        std::optional<double> ring;
        const char* title;
    } cases[] = {
        {"idle", State::Idle, K::Timer, 0, 0, 0, false, std::nullopt, ""},
        {"half left", State::Paused, K::Timer, 150, 300, 150, false, 0.5, " 24:59"},
        {"a moment left is not empty", State::Running, K::Timer, 0.2, 3600, 3599.8, false, 1.0 / 60,
         " 24:59"},
        {"overrun clamps", State::Running, K::Timer, -3, 300, 303, false, 0.0, " 24:59"},
        {"stopwatch seconds", State::Running, K::Stopwatch, 0, 0, 75, false, 0.25, " 24:59"},
        {"done", State::Done, K::Timer, 0, 300, 300, false, 1.0, " Done"},
        {"metronome over done", State::Done, K::Timer, 0, 0, 0, true, 1.0, " \u2669120"},
    };
    for (const auto& c : cases) {
        const auto got =
            StatusTitle::ring(c.state, c.kind, c.remaining, c.total, c.elapsed, c.metronome);
        ASSERT_EQ(got.has_value(), c.ring.has_value()) << c.name;
        EXPECT_NEAR(got.value_or(-1), c.ring.value_or(-1), 1e-9) << c.name;
        EXPECT_EQ(StatusTitle::text(c.state, "24:59", c.metronome, 120), QString::fromUtf8(c.title))
            << c.name;
    }
}
