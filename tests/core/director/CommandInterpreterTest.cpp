#include "core/director/CommandInterpreter.h"

#include "CoreDesk.h"
#include "core/text/Words.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

using Action = CommandInterpreter::Action;
using enum CommandInterpreter::Action;
using enum TimerEngine::State;
constexpr auto onTimer = CommandInterpreter::Field::Timer;
constexpr auto onTempo = CommandInterpreter::Field::Tempo;
constexpr auto timer = Settings::Mode::Timer;
constexpr auto watch = Settings::Mode::Stopwatch;
constexpr auto tempo = Settings::Mode::Tempo;

} // namespace

// One line after another, 1.5 s apart, each acting on what the lines before it left.
TEST(CommandInterpreter, EachLineDoesWhatItSaysAndSaysWhatItDid) {
    const struct {
        CommandInterpreter::Field field;
        const char* line;
        Action action;
        TimerEngine::State state; // after
        bool ticking;
        Settings::Mode mode;
        const char* said; // the summary, or the error; "@" stands for the end time
    } steps[] = {
        // An empty line starts a stopwatch, or pauses and resumes what runs; blanks are empty.
        {onTimer, "", StartStopwatch, Running, false, watch, "Stopwatch started"},
        {onTimer, "L", Lap, Running, false, watch, "Lap 1 \u00B7 00:01.50"},
        {onTimer, "  ", TogglePause, Paused, false, watch, "Paused"},
        {onTimer, "lap", Lap, Paused, false, watch, "No stopwatch running"},
        {onTimer, "", TogglePause, Running, false, watch, "Resumed"},
        {onTimer, "  25m Tea ", StartTimer, Running, false, timer,
         "Timer 25:00 \u00B7 Tea \u00B7 ends at @"},
        {onTimer, "P", TogglePause, Paused, false, timer, "Paused"},
        {onTimer, "p 5", Rejected, Paused, false, timer, "Not a timer, tempo or command: p 5"},
        {onTimer, "t", SayTime, Paused, false, timer, "Saying the time"},
        {onTimer, " resume\t", TogglePause, Running, false, timer, "Resumed"},
        {onTimer, "Cancel", Stop, Idle, false, timer, "Stopped"},
        // A verb with nothing to act on is still a verb: the line is taken.
        {onTimer, "p", TogglePause, Idle, false, timer, "Nothing to pause"},
        {onTimer, "MUTE", Mute, Idle, false, timer, "Muted"},
        {onTimer, "m", Unmute, Idle, false, timer, "Unmuted"},
        {onTimer, "unmute", Unmute, Idle, false, timer, "Unmuted"}, // a word, not a toggle
        // A bare number is a timer; with a tempo word it hands over to the metronome and its page.
        {onTimer, "120", StartTimer, Running, false, timer, "Timer 2:00:00 \u00B7 ends at @"},
        {onTimer, "120 bpm", StartTempo, Idle, true, tempo, "Tempo 120 \u00B7 4/4"},
        // The Tempo page's own words start or stop the metronome, whichever it is not doing.
        {onTempo, " stop ", StopTempo, Idle, false, tempo, "Tempo stopped"},
        {onTempo, "START", StartTempo, Idle, true, tempo, "Tempo 120 \u00B7 4/4"},
        // There a bare number is a tempo, kept within the limits, taken without starting over.
        {onTempo, "300", StartTempo, Idle, true, tempo, "Tempo 260 \u00B7 4/4"},
        {onTempo, "p", StopTempo, Idle, false, tempo, "Tempo stopped"},
        {onTimer, "25m", StartTimer, Running, false, timer, "Timer 25:00 \u00B7 ends at @"},
        // A tempo typed there never stops a timer.
        {onTempo, "3/4 90", StartTempo, Running, true, timer, "Tempo 90 \u00B7 3/4"},
        {onTempo, "13/4", Rejected, Running, true, timer, "Not a tempo: 13/4"},
        {onTimer, "metronome", StartTempo, Idle, true, tempo, "Tempo 90 \u00B7 3/4"},
        // With no timer, "stop" stops the metronome wherever it is typed.
        {onTimer, "stop", StopTempo, Idle, false, tempo, "Tempo stopped"},
    };
    CoreDesk desk;
    bool muted = false;
    for (const auto& step : steps) {
        const QString line = QString::fromUtf8(step.line);
        SCOPED_TRACE(testing::Message() << '"' << step.line << '"');
        desk.clock.advance(1500);
        const bool ticking = desk.metronome.running();
        const qint64 startedAt = desk.metronome.startedAt();
        const qsizetype spoken = desk.speech.texts().size();

        // Asking first changes nothing, or the line would then do something else.
        EXPECT_EQ(desk.interpreter.interpret(line, step.field).action, step.action);
        const auto done = desk.interpreter.run(line, step.field);
        EXPECT_EQ(done.action, step.action);
        EXPECT_EQ(desk.engine.state(), step.state);
        EXPECT_EQ(desk.metronome.running(), step.ticking);
        EXPECT_EQ(desk.settings.mode(), step.mode);
        muted = step.action == Mute || (muted && step.action != Unmute);
        EXPECT_EQ(desk.settings.muted(), muted);
        const QDateTime end = desk.clock.now().addSecs(desk.engine.total() + 30);
        const QString said = QString::fromUtf8(step.said).replace(
            u'@', Words::shortTime(QTime(end.time().hour(), end.time().minute()), QLocale()));
        EXPECT_EQ(done.accepted() ? done.summary : done.error, said);
        if (ticking && step.ticking) {
            EXPECT_EQ(desk.metronome.startedAt(), startedAt);
        }
        if (step.action == SayTime) {
            EXPECT_EQ(desk.speech.texts().size(), spoken + 1);
        }
    }
}

// No preview ("-" here) for what is no command; a verb's is checked on the Timer page.
TEST(CommandInterpreter, PreviewShowsWhatReturnWouldDo) {
    CoreDesk desk;
    QStringList shown;
    for (const QString& typed : {QString(), QStringLiteral("nonsense"), QStringLiteral("sw"),
                                 "25m" + QStringLiteral(" practise slowly").repeated(6)})
        shown << desk.interpreter.preview(typed).value_or(QStringLiteral("-"));
    EXPECT_EQ(shown, (QStringList{"-", "-", "Stopwatch", "25:00 \u00B7 label shortened"}));
}
