#include "core/tray/StatusTitle.h"

#include "core/tray/StatusMenu.h"

#include <gtest/gtest.h>

using State = TimerEngine::State;

// Idle and the metronome's title are checked on the tray itself.
TEST(StatusTitle, ShowsTheTimeOrDoneUnlessTheMetronomeRuns) {
    const std::tuple<State, bool, QString> cases[] = {{State::Paused, false, " 24:59"},
                                                      {State::Done, false, " Done"},
                                                      {State::Done, true, " \u2669120"}};
    for (const auto& [state, metronome, expected] : cases)
        EXPECT_EQ(StatusTitle::text(state, "24:59", metronome, 120), expected) << int(state);
}

namespace {
QStringList titles(State state, bool metronome) {
    QStringList out;
    for (const auto& item : StatusMenu::items(state, metronome))
        out << (item.action == StatusMenu::Action::Separator ? QStringLiteral("-") : item.title);
    return out;
}
} // namespace

TEST(StatusMenu, ItemsPerEngineAndMetronomeState) {
    struct Case {
        State state;
        bool metronome;
        QStringList expected;
    } cases[] = {
        {State::Idle, false, {"Open Pobi", "-", "Quit Pobi"}},
        {State::Done, false, {"Open Pobi", "-", "Quit Pobi"}},
        {State::Running, false, {"Open Pobi", "Pause", "Stop", "-", "Quit Pobi"}},
        {State::Paused, false, {"Open Pobi", "Resume", "Stop", "-", "Quit Pobi"}},
        {State::Idle, true, {"Open Pobi", "Stop tempo", "-", "Quit Pobi"}},
        {State::Paused, true, {"Open Pobi", "Stop tempo", "Resume", "Stop", "-", "Quit Pobi"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(titles(c.state, c.metronome), c.expected) << int(c.state) << c.metronome;
}

TEST(StatusTitle, RingShowsTheShareLeft) {
    using K = Command::Kind;
    struct Case {
        const char* name;
        State state;
        K kind;
        double remaining;
        qint64 total;
        double elapsed;
        bool metronome;
        std::optional<double> expected;
    } cases[] = {
        {"idle", State::Idle, K::Timer, 0, 0, 0, false, std::nullopt},
        {"half left", State::Running, K::Timer, 150, 300, 150, false, 0.5},
        {"a moment left is not empty", State::Running, K::Timer, 0.2, 3600, 3599.8, false,
         1.0 / 60},
        {"overrun clamps", State::Running, K::Timer, -3, 300, 303, false, 0.0},
        {"stopwatch seconds", State::Running, K::Stopwatch, 0, 0, 75, false, 0.25},
        {"done", State::Done, K::Timer, 0, 300, 300, false, 1.0},
        {"metronome", State::Idle, K::Timer, 0, 0, 0, true, 1.0},
    };
    for (const auto& c : cases) {
        const auto got =
            StatusTitle::ring(c.state, c.kind, c.remaining, c.total, c.elapsed, c.metronome);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.name;
        EXPECT_NEAR(got.value_or(-1), c.expected.value_or(-1), 1e-9) << c.name;
    }
}
