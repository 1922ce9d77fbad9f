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

// The ring shows the share left (a stopwatch's, of the minute); the metronome's and a finished
// timer's is full. The running and the metronome's titles are the tray controller's test.
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
    } cases[] = {
        {"idle", State::Idle, K::Timer, 0, 0, 0, false, std::nullopt},
        {"half left", State::Paused, K::Timer, 150, 300, 150, false, 0.5},
        {"a moment left is not empty", State::Running, K::Timer, 0.2, 3600, 3599.8, false,
         1.0 / 60},
        {"overrun clamps", State::Running, K::Timer, -3, 300, 303, false, 0.0},
        {"stopwatch seconds", State::Running, K::Stopwatch, 0, 0, 75, false, 0.25},
        {"done", State::Done, K::Timer, 0, 300, 300, false, 1.0},
        {"metronome over done", State::Done, K::Timer, 0, 0, 0, true, 1.0},
    };
    for (const auto& c : cases) {
        const auto got =
            StatusTitle::ring(c.state, c.kind, c.remaining, c.total, c.elapsed, c.metronome);
        EXPECT_NEAR(got.value_or(-1), c.ring.value_or(-1), 1e-9) << c.name;
    }
    EXPECT_EQ(StatusTitle::text(State::Idle, "24:59", false, 120), "");
    EXPECT_EQ(StatusTitle::text(State::Done, "24:59", false, 120), " Done");
}
