#include "StatusTitle.h"

#include "StatusMenu.h"

#include <gtest/gtest.h>

using State = TimerEngine::State;

TEST(StatusTitle, FollowsTheTable) {
    struct Case {
        State state;
        bool metronome;
        const char* expected;
    } cases[] = {
        {State::Idle, false, ""},
        {State::Running, false, " 24:59"},
        {State::Paused, false, " 24:59"},
        {State::Done, false, " Done"},
        // A running metronome hides the timer whatever its state.
        {State::Idle, true, " \u2669120"},
        {State::Running, true, " \u2669120"},
        {State::Paused, true, " \u2669120"},
        {State::Done, true, " \u2669120"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StatusTitle::text(c.state, QStringLiteral("24:59"), c.metronome, 120),
                  QString::fromUtf8(c.expected))
            << int(c.state) << " metronome " << c.metronome;
    }
}

TEST(StatusTitle, IdleWithAnyDisplayIsEmpty) {
    // The engine keeps a display text after stopping; the tray must not show it.
    EXPECT_TRUE(StatusTitle::text(State::Idle, QStringLiteral("0:05"), false, 100).isEmpty());
}

TEST(StatusTitle, GreyOnlyWhilePaused) {
    EXPECT_TRUE(StatusTitle::grey(State::Paused));
    EXPECT_FALSE(StatusTitle::grey(State::Running));
    EXPECT_FALSE(StatusTitle::grey(State::Idle));
    EXPECT_FALSE(StatusTitle::grey(State::Done));
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

TEST(StatusMenu, OnlyQuitHasAShortcut) {
    for (const auto& item : StatusMenu::items(State::Paused, true)) {
        const QString expected =
            item.action == StatusMenu::Action::Quit ? QStringLiteral("Ctrl+Q") : QString();
        EXPECT_EQ(item.shortcut, expected) << item.title.toStdString();
    }
}

TEST(StatusTitle, RingShowsTheShareLeft) {
    using K = Kind;
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
        {"fresh timer", State::Running, K::Timer, 300, 300, 0, false, 1.0},
        {"half left", State::Running, K::Timer, 150, 300, 150, false, 0.5},
        {"paused keeps it", State::Paused, K::Timer, 75, 300, 225, false, 0.25},
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
