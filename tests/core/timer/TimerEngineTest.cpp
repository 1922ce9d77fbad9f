#include "core/timer/TimerEngine.h"

#include "FakeChime.h"
#include "FakeClock.h"
#include "FakeSpeech.h"
#include "TestDirs.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/text/Tone.h"
#include "core/text/Words.h"
#include "core/timer/Parser.h"
#include "core/timer/Plan.h"

#include <gtest/gtest.h>

namespace {

using State = TimerEngine::State;
using Event = TimerEngine::Event;

Command timer(qint64 seconds, const QString& label = {}) {
    return {Command::Kind::Timer, seconds, label};
}
const Command stopwatchCommand{Command::Kind::Stopwatch, 0, {}};

class TimerEngineTest : public ::testing::Test {
protected:
    TimerEngineTest() {
        QObject::connect(&speaker, &Speaker::captionChanged, [this](const QString& text) {
            said.append(text);
            saidAt.append(elapsedMs());
        });
        QObject::connect(&engine, &TimerEngine::eventSent, [this](Event event) {
            events.append(event);
            eventAt.append(elapsedMs());
        });
        chime.onPlay = [this](qint64 at) { chimes.append({elapsedMs(), at - start}); };
    }
    qint64 elapsedMs() const { return clock.monotonicMs() - start; }
    QString plan(qint64 total, qint64 key) const {
        return Plan::make(total, {}, settings).at(key).text;
    }

    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    FakeClock clock;
    const qint64 start = clock.monotonicMs();
    FakeSpeech speech;
    Speaker speaker{speech, clock};
    FakeChime chime;
    TimerEngine engine{settings, speaker, clock, &chime};
    QStringList said;
    QList<qint64> saidAt;
    QList<Event> events;
    QList<qint64> eventAt;
    QList<std::pair<qint64, qint64>> chimes; // set at, to sound at
};

TEST_F(TimerEngineTest, TenSecondTimerFromStartToIdle) {
    engine.start(timer(10));
    clock.advance(9950);
    EXPECT_EQ(engine.state(), State::Running);
    clock.advance(50); // the step at exactly 10 s finds 0 left
    EXPECT_EQ(engine.state(), State::Done);
    EXPECT_EQ(events, (QList{Event::Start, Event::Done}));
    EXPECT_EQ(eventAt.last(), 10000);
    // Set when the last second begins, to sound on the end itself.
    EXPECT_EQ(chimes, (QList<std::pair<qint64, qint64>>{{9000, 10000}}));
    clock.advance(600);
    // Everything said, in order: start, the count 5..1, the end line; nothing twice.
    EXPECT_EQ(said, (QStringList{Tones::start(Tone::Calm, Words::spell(10), {}),
                                 QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("3"),
                                 QStringLiteral("2"), QStringLiteral("1"), plan(10, 0)}));
    EXPECT_EQ(saidAt.mid(1), (QList<qint64>{5000, 6000, 7000, 8000, 9000, 10600}));

    clock.advance(12000 - 600 - 1);
    EXPECT_EQ(engine.state(), State::Done);
    clock.advance(1);
    EXPECT_EQ(engine.state(), State::Idle);
    EXPECT_EQ(events.size(), 2) << "the return to idle sends no event";
}

// The end line waits for the chime, less the synthesiser's lead; without a chime it comes at once.
TEST_F(TimerEngineTest, EndLineTimingFollowsTheChimeSetting) {
    struct Case {
        bool chime, muted;
        int lead, plays;
        qint64 endLineAt;
    };
    for (const Case c : {Case{true, false, 70, 1, 3530}, Case{false, false, 70, 0, 3000},
                         Case{true, true, 0, 0, 3600}}) {
        speech.lead = c.lead;
        settings.setChime(c.chime);
        settings.setMuted(c.muted);
        said.clear();
        saidAt.clear();
        const int plays = chime.plays();
        const qint64 t0 = elapsedMs();
        engine.start(timer(3));
        clock.advance(5000);
        EXPECT_EQ(chime.plays() - plays, c.plays) << c.chime << c.muted;
        EXPECT_EQ(saidAt.value(said.indexOf(plan(3, 0))) - t0, c.endLineAt) << c.chime << c.muted;
    }
}

TEST_F(TimerEngineTest, LateHeartbeatSpeaksOnlyTheLowestCrossedLine) {
    settings.setEvery(0);
    settings.setHalfway(false);
    settings.setLastMinute(false);
    settings.setCountdown(30);
    FakeClock::flush();
    engine.start(timer(100));
    clock.advance(69000); // 31 s left; nothing of the count said yet
    EXPECT_EQ(said.size(), 1);
    // The heartbeat is held up until 24.5 s are left: lines 30 .. 25 were all crossed.
    clock.stall(75500 - elapsedMs());
    clock.advance(1);
    EXPECT_EQ(said.mid(1), QStringList{QStringLiteral("25")});
    clock.advance(1000);
    EXPECT_EQ(said.mid(1), (QStringList{QStringLiteral("25"), QStringLiteral("24")}));
}

TEST_F(TimerEngineTest, ClockChangesMoveOnlyTimersToATimeOfDay) {
    // Each line runs 10 s (with a lap, or a pause if asked), sees the wall clock set, runs 5 s
    // more (resuming), and then to its end.
    struct Case {
        const char* line;
        qint64 jumpMs;
        bool pause;
        double shown;  // seconds on the display after the 15 s
        qint64 doneAt; // on the steady clock; -1 for the stopwatch
    };
    const QDateTime wall = clock.now(); // 14:20
    const Case cases[] = {
        {"5m", -3600000, false, 285, 300000},
        {"5m", -60000, true, 290, 305000},
        {"sw", -60000, false, 15, -1},
        {"sw", 60000, true, 10, -1},
        {"until 14:30", -60000, false, 645, 660000},
        {"until 14:30", 120000, false, 465, 480000},
        {"until 14:30", -60000, true, 590, 605000}, // paused, it no longer keeps to 14:30
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.line << " " << c.jumpMs << " " << c.pause);
        clock.jump(clock.now().msecsTo(wall));
        QDateTime until;
        engine.start(*Parser::parse(QString::fromLatin1(c.line), clock.now(), &until), until);
        const qint64 t0 = elapsedMs();
        clock.advance(10000);
        engine.lap();
        if (c.pause)
            engine.pause();
        clock.jump(c.jumpMs);
        clock.advance(5000);
        engine.resume();
        engine.lap();
        EXPECT_EQ(engine.display(), Words::clock(c.shown, c.doneAt >= 0));
        if (c.doneAt < 0) {
            EXPECT_DOUBLE_EQ(engine.laps().last().split, c.shown - 10); // the second lap
            continue;
        }
        clock.advance(c.doneAt - 14000);
        ASSERT_EQ(events.last(), Event::Done);
        EXPECT_EQ(eventAt.last() - t0, c.doneAt);
    }
}

TEST_F(TimerEngineTest, AlertAMinuteBeforeTheEndOfTimersOver90Seconds) {
    for (const qint64 total : {90, 91, 300}) {
        const qsizetype from = events.size();
        const qint64 t0 = elapsedMs();
        engine.start(timer(total));
        clock.advance(total * 1000 + 100);
        const QList<Event> run = events.mid(from);
        EXPECT_EQ(run.count(Event::Alert), total > 90 ? 1 : 0) << total;
        const qsizetype at = run.indexOf(Event::Alert);
        EXPECT_EQ(at < 0 ? -1 : eventAt[from + at] - t0, total > 90 ? (total - 60) * 1000 : -1);
    }
}

// Each row starts a timer (unless idle), runs it, maybe pauses, then stops it. A chime set for
// the last second is taken back by the stop, one that has sounded is not.
TEST_F(TimerEngineTest, StopFromEachState) {
    struct Case {
        const char* name;
        qint64 total, runMs;
        bool pause, event, cancelLine;
        int chimes, chimesAfter; // set and not taken back, before and after the stop
    };
    const Case cases[] = {{"idle", 0, 0, false, false, false, 0, 0},
                          {"running in the last second", 60, 59500, false, true, true, 1, 0},
                          {"paused in the last second", 60, 59500, true, true, true, 0, 0},
                          {"done", 2, 3000, false, true, false, 1, 1}};
    for (const Case& c : cases) {
        if (c.total > 0)
            engine.start(timer(c.total));
        clock.advance(c.runMs);
        if (c.pause)
            engine.pause();
        EXPECT_EQ(chime.plays(), c.chimes) << c.name;
        events.clear();
        said.clear();
        engine.stop();
        EXPECT_EQ(engine.state(), State::Idle) << c.name;
        EXPECT_EQ(events, c.event ? QList{Event::Stop} : QList<Event>{}) << c.name;
        EXPECT_EQ(said.contains(Tones::cancel(Tone::Calm)), c.cancelLine) << c.name;
        EXPECT_DOUBLE_EQ(engine.elapsed(), 0.0) << c.name;
        EXPECT_FALSE(engine.next().has_value()) << c.name;
        EXPECT_EQ(chime.plays(), c.chimesAfter) << c.name;
    }
}

TEST_F(TimerEngineTest, ReplanningOneTurnLaterWithoutRepeats) {
    engine.start(timer(1500));
    clock.advance(300000); // 20 minutes left: that line is said
    EXPECT_EQ(said.last(), plan(1500, 1200));
    const qsizetype before = said.size();
    settings.setTone(Tone::Coach);
    EXPECT_EQ(engine.next()->line.text, Tones::left(Tone::Calm, Words::spell(900)))
        << "the plan is rebuilt one turn later, not inside the change";
    FakeClock::flush();
    EXPECT_EQ(engine.next()->at, 900);
    EXPECT_EQ(engine.next()->line.text, Tones::left(Tone::Coach, Words::spell(900)));
    clock.advance(1000);
    EXPECT_EQ(said.size(), before) << "the passed line is not said again";
    clock.advance(299000);
    EXPECT_EQ(said.last(), Tones::left(Tone::Coach, Words::spell(900)));
}

TEST_F(TimerEngineTest, StopwatchIntervalsLapsAndReplacement) {
    settings.setEvery(5);
    FakeClock::flush();
    engine.start(stopwatchCommand);
    clock.advance(450000); // 7:30
    settings.setEvery(1);
    FakeClock::flush();
    clock.advance(29900);
    EXPECT_EQ(said.last(), Tones::elapsed(Tone::Calm, Words::spell(300)))
        << "passed intervals count as announced";
    clock.advance(100);
    EXPECT_EQ(said.last(), Tones::elapsed(Tone::Calm, Words::spell(480)));

    engine.lap();
    clock.advance(15300);
    engine.lap();
    EXPECT_EQ(said.last(), Tones::lap(Tone::Calm, 2, Words::spellLap(15.3)));

    // A new start replaces the run without stopping it.
    engine.start(timer(91));
    EXPECT_TRUE(engine.laps().isEmpty());
    EXPECT_EQ(events.count(Event::Start), 2);
    EXPECT_FALSE(events.contains(Event::Stop));
}

// Each row runs a line for 30 s (a lap at 10 s), then maybe (p)auses or (s)tops, and is killed; a
// new Pobi starts awayMs later on the wall clock alone, as the steady one does not carry over.
TEST_F(TimerEngineTest, RestartTakesUpTheRunLeftBehind) {
    struct Case {
        const char *line, *said;
        char then;
        qint64 awayMs;
        State state;
        double shown; // time left, or elapsed for the stopwatch
    };
    const Case cases[] = {
        {"2m tea", "", 0, 60000, State::Running, 30},
        {"2m tea", "", 0, -3600000, State::Running, 120}, // clock set back
        {"2m tea", "Tea ended at %1.", 0, 600000, State::Done, 0},
        {"2m", "Timer ended at %1.", 0, 90000, State::Done, 0},
        {"2m tea", "", 'p', 600000, State::Paused, 90},
        {"2m tea", "", 's', 0, State::Idle, 0},
        {"sw", "", 0, 60000, State::Running, 90},
        {"sw", "", 'p', 60000, State::Paused, 30},
        {"until 14:30", "", 0, -60000, State::Running, 630}, // keeps to 14:30
    };
    const QDateTime wall = clock.now(); // 14:20
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.line << " " << c.then << " " << c.awayMs);
        clock.jump(clock.now().msecsTo(wall));
        auto first = std::make_unique<TimerEngine>(settings, speaker, clock);
        first->restore();
        QDateTime until;
        first->start(*Parser::parse(QString::fromLatin1(c.line), clock.now(), &until), until);
        clock.advance(10000);
        first->lap();
        clock.advance(20000);
        c.then == 'p' ? first->pause() : c.then == 's' ? first->stop() : void();
        const auto laps = first->laps();
        first.reset();
        clock.jump(c.awayMs);
        said.clear();
        Settings reread(dirs.settingsFile());
        TimerEngine next(reread, speaker, clock);
        next.restore();
        EXPECT_EQ(next.state(), c.state);
        const bool timer = next.kind() == Command::Kind::Timer;
        EXPECT_DOUBLE_EQ(timer ? next.remaining() : next.elapsed(), c.shown);
        EXPECT_EQ(next.laps(), laps);
        EXPECT_EQ(said.join(u'|'), QString::fromLatin1(c.said).replace(
                                       QStringLiteral("%1"), Words::shortTime({14, 22}, {})))
            << "lines already passed are not said again";
        clock.advance(qRound64(c.shown * 1000));
        EXPECT_EQ(next.state() == State::Done,
                  c.state == State::Done || (timer && c.state == State::Running));
    }
}

} // namespace
