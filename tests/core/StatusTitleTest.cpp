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
        if (item.action == StatusMenu::Action::Quit)
            EXPECT_EQ(item.shortcut, QStringLiteral("Ctrl+Q"));
        else
            EXPECT_TRUE(item.shortcut.isEmpty()) << item.title.toStdString();
    }
}
