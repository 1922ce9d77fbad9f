#include "core/timer/TimerEngine.h"

#include "CoreDesk.h"
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

class TimerEngineTest : public ::testing::Test, protected CoreDesk {
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

    const qint64 start = clock.monotonicMs();
    QStringList said;
    QList<qint64> saidAt;
    QList<Event> events;
    QList<qint64> eventAt;
    QList<std::pair<qint64, qint64>> chimes; // set at, to sound at
};

TEST_F(TimerEngineTest, TenSecondTimerFromStartToIdle) {
    speech.lead = 70;
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
    // Everything said, in order: start, the count 5..1, the end line; nothing twice. The end
    // line follows the chime, less the synthesiser's lead.
    EXPECT_EQ(said, (QStringList{Tones::start(Tone::Calm, Words::spell(10), {}),
                                 QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("3"),
                                 QStringLiteral("2"), QStringLiteral("1"), plan(10, 0)}));
    EXPECT_EQ(saidAt.mid(1), (QList<qint64>{5000, 6000, 7000, 8000, 9000, 10530}));

    clock.advance(12000 - 600 - 1);
    EXPECT_EQ(engine.state(), State::Done);
    clock.advance(1);
    EXPECT_EQ(engine.state(), State::Idle);
    EXPECT_EQ(events.size(), 2) << "the return to idle sends no event";
}

// A muted timer whose heartbeat is held up: the alert comes a minute before the end, of the lines
// crossed meanwhile only the lowest is said, and no chime sounds at the end.
TEST_F(TimerEngineTest, MutedRunWithALateHeartbeat) {
    settings.setEvery(0);
    settings.setHalfway(false);
    settings.setLastMinute(false);
    settings.setCountdown(30);
    settings.setMuted(true);
    FakeClock::flush();
    engine.start(timer(100));
    clock.advance(69000); // 31 s left; nothing of the count said yet
    EXPECT_EQ(said.size(), 1);
    EXPECT_EQ(eventAt.value(events.indexOf(Event::Alert)), 40000);
    // The heartbeat is held up until 24.5 s are left: lines 30 .. 25 were all crossed.
    clock.stall(75500 - elapsedMs());
    clock.advance(1);
    EXPECT_EQ(said.mid(1), QStringList{QStringLiteral("25")});
    clock.advance(1000);
    EXPECT_EQ(said.mid(1), (QStringList{QStringLiteral("25"), QStringLiteral("24")}));
    clock.advance(30000);
    EXPECT_EQ(engine.state(), State::Done);
    EXPECT_EQ(chime.plays(), 0);
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

// Each row starts a timer (unless idle), runs it, maybe pauses, then stops it: idle again, with a
// stop event if anything ran. A chime set for the last second is taken back by the stop, one that
// has sounded is not.
TEST_F(TimerEngineTest, StopFromEachState) {
    struct Case {
        const char* name;
        qint64 total, runMs;
        bool pause, cancelLine;
        int chimes, chimesAfter; // set and not taken back, before and after the stop
    };
    const Case cases[] = {{"idle", 0, 0, false, false, 0, 0},
                          {"running in the last second", 60, 59500, false, true, 1, 0},
                          {"paused in the last second", 60, 59500, true, true, 0, 0},
                          {"done", 2, 3000, false, false, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.total > 0)
            engine.start(timer(c.total));
        clock.advance(c.runMs);
        if (c.pause)
            engine.pause();
        EXPECT_EQ(chime.plays(), c.chimes);
        events.clear();
        said.clear();
        engine.stop();
        EXPECT_EQ(engine.state(), State::Idle);
        EXPECT_EQ(events, c.total > 0 ? QList{Event::Stop} : QList<Event>{});
        EXPECT_EQ(said.contains(Tones::cancel(Tone::Calm)), c.cancelLine);
        EXPECT_EQ(chime.plays(), c.chimesAfter);
    }
}

TEST_F(TimerEngineTest, ReplanningOneTurnLaterWithoutRepeats) {
    engine.start(timer(1500));
    clock.advance(300000); // 20 minutes left: that line is said
    EXPECT_EQ(said.last(), plan(1500, 1200));
    const qsizetype before = said.size();
    settings.setTone(Tone::Coach);
    FakeClock::flush();
    EXPECT_EQ(engine.next()->at, 900);
    EXPECT_EQ(engine.next()->line.text, Tones::left(Tone::Coach, Words::spell(900)));
    clock.advance(1000);
    EXPECT_EQ(said.size(), before) << "the passed line is not said again";
    clock.advance(299000);
    EXPECT_EQ(said.last(), Tones::left(Tone::Coach, Words::spell(900)));
}

TEST_F(TimerEngineTest, StopwatchIntervalsAndLaps) {
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
        {"2m", "Timer ended at %1.", 0, 90000, State::Done, 0},
        {"2m tea", "", 'p', 600000, State::Paused, 90},
        {"2m tea", "", 's', 0, State::Idle, 0},
        {"sw", "", 0, 60000, State::Running, 90},
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
