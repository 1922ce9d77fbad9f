#pragma once

#include <QString>
#include <optional>

class Clock;
class Metronome;
class Settings;
class TimerEngine;

// Reads a typed line and does what it says. The popup's two fields, the command line and the
// single-instance socket all go through here, so a line means the same wherever it is typed.
// It changes the engine, the metronome and the settings; what belongs to a window (opening
// Settings, closing the popup, shaking the field) or to the application (quitting) is left to
// the caller, which reads it from the outcome.
class CommandInterpreter {
public:
    // Where the line was typed: the Tempo page's field reads every line as a tempo.
    enum class Field { Timer, Tempo };

    enum class Action {
        Rejected,       // nothing happened; Outcome::error says why
        StartTimer,     // a countdown started (replacing whatever ran)
        StartStopwatch, // a stopwatch started
        TogglePause,    // the running timer or stopwatch paused or resumed
        Stop,           // the timer or stopwatch stopped
        Lap,            // the stopwatch took a lap
        SayTime,        // the time left or elapsed is spoken now
        Mute,           // spoken lines off (mute, unmute, m)
        Unmute,
        StartTempo,   // the metronome started, or changed while running
        StopTempo,    // the metronome stopped
        ShowSettings, // the caller opens Settings
        Quit,         // the caller quits the application
    };

    struct Outcome {
        Action action = Action::Rejected;
        // One line saying what was done, for the shell: "Timer 25:00 · Tea · ends at 14:45".
        QString summary;
        // Why a rejected line was rejected, for the shell's stderr.
        QString error;
        bool accepted() const { return action != Action::Rejected; }
    };

    CommandInterpreter(TimerEngine& engine, Metronome& metronome, Settings& settings, Clock& clock);

    // What Return would do with line, without doing it (summary and error filled in as run()
    // would, except that times are as of now and a lap's time is not known yet).
    Outcome interpret(const QString& line, Field field) const;
    // Does what line says.
    Outcome run(const QString& line, Field field);
    // What the timer field shows beside its text: "25:00", "Stopwatch", "♩ 120", or nothing.
    std::optional<QString> preview(const QString& line) const;

    // A lap's time to the hundredth: "01:05.43".
    static QString lapClock(double seconds);

private:
    struct Step;
    Step decide(const QString& line, Field field) const;
    void perform(const Step& step, Field field);
    Outcome describe(const Step& step, Field field, bool done) const;

    TimerEngine& m_engine;
    Metronome& m_metronome;
    Settings& m_settings;
    Clock& m_clock;
};
