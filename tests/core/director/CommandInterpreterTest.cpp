#include "core/director/CommandInterpreter.h"

#include "FakeAudioPlayer.h"
#include "FakeClock.h"
#include "FakeSpeech.h"
#include "TestDirs.h"
#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/text/Words.h"
#include "core/timer/TimerEngine.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

using Action = CommandInterpreter::Action;
using Field = CommandInterpreter::Field;
using enum CommandInterpreter::Action;
using enum TimerEngine::State;
constexpr Field onTimer = Field::Timer;
constexpr Field onTempo = Field::Tempo;

constexpr auto timer = Settings::Mode::Timer;
constexpr auto watch = Settings::Mode::Stopwatch;
constexpr auto tempo = Settings::Mode::Tempo;

// What runs when the line is typed.
enum class Before { Nothing, Muted, TimerRuns, TimerPaused, StopwatchRuns, TempoRuns };
using enum Before;

struct Desk {
    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    FakeClock clock;
    FakeSpeech speech;
    Speaker speaker{speech, clock};
    FakeAudioPlayer player;
    Metronome metronome{settings.store(), player, clock};
    TimerEngine engine{settings, speaker, clock};
    CommandInterpreter interpreter{engine, metronome, settings, clock};

    explicit Desk(Before before) {
        metronome.setBpm(100);
        settings.setMuted(before == Muted);
        if (before == TimerRuns || before == TimerPaused)
            engine.start(Command{Command::Kind::Timer, 1500, QStringLiteral("Tea")});
        if (before == TimerPaused)
            engine.pause();
        if (before == StopwatchRuns)
            engine.start(Command{Command::Kind::Stopwatch, 0, {}});
        if (before == TempoRuns) {
            settings.setMode(Settings::Mode::Tempo);
            metronome.start();
        }
        clock.advance(1500);
    }
};

} // namespace

TEST(CommandInterpreter, EachLineDoesWhatItSaysAndSaysWhatItDid) {
    const struct {
        Before before;
        Field field;
        const char* line;
        Action action;
        TimerEngine::State state; // after
        bool ticking;
        Settings::Mode mode;
        const char* said; // the summary, or the error; "@" stands for the end time
    } rows[] = {
        // An empty line starts a stopwatch, or pauses and resumes what runs; blanks are empty.
        {Nothing, onTimer, "", StartStopwatch, Running, false, watch, "Stopwatch started"},
        {TimerRuns, onTimer, "  ", TogglePause, Paused, false, timer, "Paused"},
        {TimerPaused, onTimer, "", TogglePause, Running, false, timer, "Resumed"},
        {Nothing, onTimer, "  25m Tea ", StartTimer, Running, false, timer,
         "Timer 25:00 \u00B7 Tea \u00B7 ends at @"},
        {Nothing, onTimer, "120", StartTimer, Running, false, timer,
         "Timer 2:00:00 \u00B7 ends at @"},
        {TimerRuns, onTimer, "P", TogglePause, Paused, false, timer, "Paused"},
        {TimerPaused, onTimer, " pause\t", TogglePause, Running, false, timer, "Resumed"},
        {TimerPaused, onTimer, "resume", TogglePause, Running, false, timer, "Resumed"},
        // A verb with nothing to act on is still a verb: the line is taken.
        {Nothing, onTimer, "p", TogglePause, Idle, false, timer, "Nothing to pause"},
        {TimerRuns, onTimer, "p 5", Rejected, Running, false, timer,
         "Not a timer, tempo or command: p 5"},
        {TimerRuns, onTimer, "x", Stop, Idle, false, timer, "Stopped"},
        {TimerPaused, onTimer, "Cancel", Stop, Idle, false, timer, "Stopped"},
        {StopwatchRuns, onTimer, "L", Lap, Running, false, timer, "Lap 1 \u00B7 00:01.50"},
        {TimerRuns, onTimer, "lap", Lap, Running, false, timer, "No stopwatch running"},
        {TimerRuns, onTimer, "t", SayTime, Running, false, timer, "Saying the time"},
        {Nothing, onTimer, "MUTE", Mute, Idle, false, timer, "Muted"},
        {Nothing, onTimer, "m", Mute, Idle, false, timer, "Muted"},
        {Muted, onTimer, "m", Unmute, Idle, false, timer, "Unmuted"},
        {Muted, onTimer, "unmute", Unmute, Idle, false, timer, "Unmuted"},
        {Nothing, onTimer, ",", ShowSettings, Idle, false, timer, "Opening settings"},
        {Nothing, onTimer, "Settings", ShowSettings, Idle, false, timer, "Opening settings"},
        {TimerRuns, onTimer, "quit", Quit, Running, false, timer, "Quitting"},
        // A tempo on the Timer page hands over to the metronome and its page.
        {TimerRuns, onTimer, "120 bpm", StartTempo, Idle, true, tempo, "Tempo 120 \u00B7 4/4"},
        {Nothing, onTimer, "metronome", StartTempo, Idle, true, tempo, "Tempo 100 \u00B7 4/4"},
        // The Tempo page's own words start or stop the metronome, whichever it is not doing.
        {Nothing, onTempo, "P", StartTempo, Idle, true, timer, "Tempo 100 \u00B7 4/4"},
        {TempoRuns, onTempo, " stop ", StopTempo, Idle, false, tempo, "Tempo stopped"},
        {TempoRuns, onTempo, "START", StopTempo, Idle, false, tempo, "Tempo stopped"},
        {Nothing, onTempo, "\tStop", StartTempo, Idle, true, timer, "Tempo 100 \u00B7 4/4"},
        {TempoRuns, onTempo, "", StopTempo, Idle, false, tempo, "Tempo stopped"},
        // There a bare number is a tempo, kept within the limits; it never stops a timer.
        {TempoRuns, onTempo, "300", StartTempo, Idle, true, tempo, "Tempo 260 \u00B7 4/4"},
        {TimerRuns, onTempo, "3/4 90", StartTempo, Running, true, timer, "Tempo 90 \u00B7 3/4"},
        {Nothing, onTempo, "hello", Rejected, Idle, false, timer, "Not a tempo: hello"},
        {Nothing, onTempo, "13/4", Rejected, Idle, false, timer, "Not a tempo: 13/4"},
        {TempoRuns, onTempo, "p 5", Rejected, Idle, true, tempo, "Not a tempo: p 5"},
    };
    for (const auto& row : rows) {
        const QString line = QString::fromUtf8(row.line);
        SCOPED_TRACE(testing::Message()
                     << '"' << row.line << "\" before " << static_cast<int>(row.before));
        Desk desk(row.before);
        const auto stateBefore = desk.engine.state();
        const qint64 startedAt = desk.metronome.startedAt();
        const qsizetype spoken = desk.speech.texts().size();

        // Asking changes nothing.
        EXPECT_EQ(desk.interpreter.interpret(line, row.field).action, row.action);
        EXPECT_EQ(desk.engine.state(), stateBefore);
        EXPECT_EQ(desk.metronome.running(), row.before == TempoRuns);

        const auto done = desk.interpreter.run(line, row.field);
        EXPECT_EQ(done.action, row.action);
        EXPECT_EQ(desk.engine.state(), row.state);
        EXPECT_EQ(desk.metronome.running(), row.ticking);
        EXPECT_EQ(desk.settings.mode(), row.mode);
        EXPECT_EQ(desk.settings.muted(),
                  row.action == Mute || (row.before == Muted && row.action != Unmute));
        const QDateTime end = desk.clock.now().addSecs(desk.engine.total() + 30);
        const QString said = QString::fromUtf8(row.said).replace(
            u'@', Words::shortTime(QTime(end.time().hour(), end.time().minute()), QLocale()));
        EXPECT_EQ(done.accepted() ? done.summary : done.error, said);
        EXPECT_TRUE(done.accepted() ? done.error.isEmpty() : done.summary.isEmpty());
        // Only what was started from the Timer page is remembered, trimmed.
        EXPECT_EQ(desk.settings.recents(),
                  row.action == StartTimer ? QStringList{line.trimmed()} : QStringList{});
        // A running metronome takes a new tempo without starting over.
        if (row.before == TempoRuns && row.ticking) {
            EXPECT_EQ(desk.metronome.startedAt(), startedAt);
        }
        if (row.action == SayTime) {
            EXPECT_EQ(desk.speech.texts().size(), spoken + 1);
        }
    }
}

TEST(CommandInterpreter, PreviewShowsWhatReturnWouldDo) {
    Desk desk(Nothing);
    // No preview for lines that are no command, or a verb.
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"stop", ""},
        {"nonsense", ""},
        {"1h30", "1:30:00"},
        {"sw", "Stopwatch"},
        {"120 bpm", "\u2669 120"},
        {"metronome", "\u2669 100"},
        {"25m practise slowly practise slowly practise slowly practise slowly practise slowly "
         "practise slowly",
         "25:00 \u00B7 label shortened"}};
    for (const auto& [typed, shown] : cases)
        EXPECT_EQ(desk.interpreter.preview(QString::fromUtf8(typed)).value_or(QString()),
                  QString::fromUtf8(shown))
            << typed;
}
