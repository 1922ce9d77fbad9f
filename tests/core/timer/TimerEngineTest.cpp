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
    clock.advance(10000); // the step at exactly 10 s finds 0 left
    EXPECT_EQ(engine.state(), State::Done);
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

    clock.advance(12000 - 600);
    EXPECT_EQ(engine.state(), State::Idle);
    EXPECT_EQ(events, (QList{Event::Start, Event::Done})) << "the return to idle sends no event";
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

// Each line runs 10 s (and is paused if asked), sees the wall clock set, runs 5 s more (resuming),
// and then to its end. A stopwatch's time is the countdown's elapsed time, on the same steady
// clock.
TEST_F(TimerEngineTest, ClockChangesMoveOnlyTimersToATimeOfDay) {
    struct Case {
        const char* line;
        qint64 jumpMs;
        bool pause;
        double left;   // seconds after the 15 s
        qint64 doneAt; // on the steady clock
    };
    const QDateTime wall = clock.now(); // 14:20
    const Case cases[] = {
        {"5m", -3600000, false, 285, 300000},        {"5m", 60000, true, 290, 305000},
        {"until 14:30", -60000, false, 645, 660000}, {"until 14:30", 120000, false, 465, 480000},
        {"until 14:30", -60000, true, 590, 605000}, // paused, it no longer keeps to 14:30
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.line << " " << c.jumpMs << " " << c.pause);
        clock.jump(clock.now().msecsTo(wall));
        QDateTime until;
        engine.start(*Parser::parse(QString::fromLatin1(c.line), clock.now(), &until), until);
        const qint64 t0 = elapsedMs();
        clock.advance(10000);
        if (c.pause)
            engine.pause();
        clock.jump(c.jumpMs);
        clock.advance(5000);
        engine.resume();
        EXPECT_EQ(engine.display(), Words::clock(c.left, true));
        clock.advance(c.doneAt - 14000);
        ASSERT_EQ(events.last(), Event::Done);
        EXPECT_EQ(eventAt.last() - t0, c.doneAt);
    }
}

// A stop takes back a chime set for the last second, but not one that has sounded; there is
// nothing to stop when idle.
TEST_F(TimerEngineTest, StopTakesBackOnlyAChimeNotYetSounded) {
    engine.stop();
    EXPECT_TRUE(events.isEmpty() && said.isEmpty());
    engine.start(timer(60));
    clock.advance(59500);
    EXPECT_EQ(chime.plays(), 1);
    engine.stop();
    EXPECT_EQ(engine.state(), State::Idle);
    EXPECT_EQ(events.last(), Event::Stop);
    EXPECT_EQ(said.last(), Tones::cancel(Tone::Calm));
    EXPECT_EQ(chime.plays(), 0);

    engine.start(timer(2));
    clock.advance(3000);
    engine.stop();
    EXPECT_EQ(events.last(), Event::Stop);
    EXPECT_EQ(said.last(), plan(2, 0)) << "no cancel line once done";
    EXPECT_EQ(chime.plays(), 1);
}

// A settings change is taken up one turn later: lines already passed are not said again, and a
// stopwatch's intervals already passed count as announced. Laps are spoken.
TEST_F(TimerEngineTest, SettingsChangedMidRunRepeatNothing) {
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

    settings.setEvery(5);
    FakeClock::flush();
    engine.start({Command::Kind::Stopwatch, 0, {}});
    clock.advance(450000); // 7:30
    settings.setEvery(1);
    FakeClock::flush();
    clock.advance(29900);
    EXPECT_EQ(said.last(), Tones::elapsed(Tone::Coach, Words::spell(300)))
        << "passed intervals count as announced";
    clock.advance(100);
    EXPECT_EQ(said.last(), Tones::elapsed(Tone::Coach, Words::spell(480)));

    engine.lap();
    clock.advance(15300);
    engine.lap();
    EXPECT_EQ(said.last(), Tones::lap(Tone::Coach, 2, Words::spellLap(15.3)));
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
