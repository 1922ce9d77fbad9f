#include "core/director/CommandInterpreter.h"

#include "core/clock/Clock.h"
#include "core/metronome/Metronome.h"
#include "core/metronome/TempoWords.h"
#include "core/settings/Settings.h"
#include "core/text/Trim.h"
#include "core/text/Words.h"
#include "core/timer/Parser.h"
#include "core/timer/TimerEngine.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <cmath>

namespace {

enum class Verb { Toggle, Stop, Lap, Time, Mute, Unmute, ToggleMute, Settings, Quit };

const QHash<QString, Verb>& verbs() {
    static const QHash<QString, Verb> table{
        {QStringLiteral("p"), Verb::Toggle},
        {QStringLiteral("pause"), Verb::Toggle},
        {QStringLiteral("resume"), Verb::Toggle},
        {QStringLiteral("stop"), Verb::Stop},
        {QStringLiteral("cancel"), Verb::Stop},
        {QStringLiteral("x"), Verb::Stop},
        {QStringLiteral("l"), Verb::Lap},
        {QStringLiteral("lap"), Verb::Lap},
        {QStringLiteral("t"), Verb::Time},
        {QStringLiteral("time"), Verb::Time},
        {QStringLiteral("mute"), Verb::Mute},
        {QStringLiteral("unmute"), Verb::Unmute},
        {QStringLiteral("m"), Verb::ToggleMute},
        {QStringLiteral(","), Verb::Settings},
        {QStringLiteral("settings"), Verb::Settings},
        {QStringLiteral("quit"), Verb::Quit},
    };
    return table;
}

// The Tempo field's own words: each starts or stops the metronome, whichever it is not doing.
bool isTempoToggle(const QString& key) {
    static const QSet<QString> words{QString(), QStringLiteral("stop"), QStringLiteral("start"),
                                     QStringLiteral("p")};
    return words.contains(key);
}

const QString dot = QStringLiteral(" \u00B7 ");

} // namespace

// What a line asks for, decided before anything changes.
struct CommandInterpreter::Step {
    Action action = Action::Rejected;
    QString line; // trimmed
    TimerEngine::State before = TimerEngine::State::Idle;
    std::optional<Command> command;
    QDateTime until;
    TempoWords::Tempo tempo;
};

CommandInterpreter::CommandInterpreter(TimerEngine& engine, Metronome& metronome,
                                       Settings& settings, Clock& clock)
    : m_engine(engine), m_metronome(metronome), m_settings(settings), m_clock(clock) {}

CommandInterpreter::Step CommandInterpreter::decide(const QString& text, Field field) const {
    Step step;
    step.before = m_engine.state();
    if (field == Field::Tempo) {
        step.line = Trim::horizontal(text);
        if (isTempoToggle(step.line.toLower())) {
            step.action = m_metronome.running() ? Action::StopTempo : Action::StartTempo;
        } else if (const auto tempo = TempoWords::parse(step.line, false)) {
            step.tempo = *tempo;
            step.action = Action::StartTempo;
        }
        return step;
    }

    step.line = Trim::spacesAndTabs(text);
    if (const auto verb = verbs().constFind(step.line.toLower()); verb != verbs().constEnd()) {
        switch (*verb) {
        case Verb::Toggle:
            step.action = Action::TogglePause;
            break;
        case Verb::Stop:
            // With no timer to stop, "stop" means the metronome: from the shell there is no
            // Tempo page to say it on.
            step.action =
                !m_engine.active() && m_metronome.running() ? Action::StopTempo : Action::Stop;
            break;
        case Verb::Lap:
            step.action = Action::Lap;
            break;
        case Verb::Time:
            step.action = Action::SayTime;
            break;
        case Verb::Mute:
            step.action = Action::Mute;
            break;
        case Verb::Unmute:
            step.action = Action::Unmute;
            break;
        case Verb::ToggleMute:
            step.action = m_settings.muted() ? Action::Unmute : Action::Mute;
            break;
        case Verb::Settings:
            step.action = Action::ShowSettings;
            break;
        case Verb::Quit:
            step.action = Action::Quit;
            break;
        }
        return step;
    }
    if (const auto tempo = TempoWords::parse(step.line, true)) {
        step.tempo = *tempo;
        step.action = Action::StartTempo;
        return step;
    }
    // An empty line pauses or resumes what runs; with nothing running the parser reads it as a
    // stopwatch.
    if (step.line.isEmpty() && m_engine.active()) {
        step.action = Action::TogglePause;
        return step;
    }
    step.command = Parser::parse(step.line, m_clock.now(), &step.until);
    if (step.command)
        step.action = step.command->kind == Command::Kind::Stopwatch ? Action::StartStopwatch
                                                                     : Action::StartTimer;
    return step;
}

void CommandInterpreter::perform(const Step& step, Field field) {
    switch (step.action) {
    case Action::Rejected:
    case Action::ShowSettings:
    case Action::Quit:
        break;
    case Action::StartTimer:
    case Action::StartStopwatch:
        m_engine.start(*step.command, step.until);
        m_settings.setMode(step.action == Action::StartStopwatch ? Settings::Mode::Stopwatch
                                                                 : Settings::Mode::Timer);
        m_settings.remember(step.line);
        break;
    case Action::TogglePause:
        if (m_engine.state() == TimerEngine::State::Running)
            m_engine.pause();
        else
            m_engine.resume();
        break;
    case Action::Stop:
        m_engine.stop();
        break;
    case Action::Lap:
        m_engine.lap();
        break;
    case Action::SayTime:
        m_engine.sayNow();
        break;
    case Action::Mute:
    case Action::Unmute:
        m_settings.setMuted(step.action == Action::Mute);
        break;
    case Action::StopTempo:
        m_metronome.stop();
        break;
    case Action::StartTempo:
        // A tempo typed on the Timer page hands over to the metronome; on the Tempo page it only
        // changes what plays.
        if (field == Field::Timer && m_engine.active())
            m_engine.stop();
        if (step.tempo.bpm)
            m_metronome.changeBpm(*step.tempo.bpm);
        if (step.tempo.beats)
            m_metronome.changeBeats(*step.tempo.beats);
        if (field == Field::Timer)
            m_settings.setMode(Settings::Mode::Tempo);
        m_metronome.start();
        break;
    }
}

CommandInterpreter::Outcome CommandInterpreter::describe(const Step& step, Field field,
                                                         bool done) const {
    using State = TimerEngine::State;
    Outcome out{step.action, {}, {}};
    switch (step.action) {
    case Action::Rejected:
        out.error = (field == Field::Tempo ? QStringLiteral("Not a tempo: ")
                                           : QStringLiteral("Not a timer, tempo or command: ")) +
                    step.line;
        break;
    case Action::StartTimer: {
        const Command& c = *step.command;
        out.summary = QStringLiteral("Timer ") + Words::clock(double(c.total), true);
        if (!c.label.isEmpty())
            out.summary += dot + c.label;
        // To the nearest minute, as the popup shows it.
        const QTime end = m_clock.now().addMSecs(c.total * 1000 + 30'000).time();
        out.summary += dot + QStringLiteral("ends at ") +
                       Words::shortTime(QTime(end.hour(), end.minute()), QLocale());
        break;
    }
    case Action::StartStopwatch:
        out.summary = QStringLiteral("Stopwatch started");
        break;
    case Action::TogglePause:
        out.summary = step.before == State::Running  ? QStringLiteral("Paused")
                      : step.before == State::Paused ? QStringLiteral("Resumed")
                                                     : QStringLiteral("Nothing to pause");
        break;
    case Action::Stop:
        out.summary = step.before == State::Running || step.before == State::Paused
                          ? QStringLiteral("Stopped")
                          : QStringLiteral("Nothing to stop");
        break;
    case Action::Lap: {
        const auto laps = m_engine.laps();
        if (m_engine.kind() != Command::Kind::Stopwatch || step.before != State::Running)
            out.summary = QStringLiteral("No stopwatch running");
        else if (!done)
            out.summary = QStringLiteral("Lap %1").arg(laps.size() + 1);
        else
            out.summary =
                QStringLiteral("Lap %1").arg(laps.last().n) + dot + lapClock(laps.last().split);
        break;
    }
    case Action::SayTime:
        out.summary = QStringLiteral("Saying the time");
        break;
    case Action::Mute:
        out.summary = QStringLiteral("Muted");
        break;
    case Action::Unmute:
        out.summary = QStringLiteral("Unmuted");
        break;
    case Action::StartTempo: {
        const int bpm = done ? m_metronome.bpm()
                             : TempoWords::clampBpm(step.tempo.bpm.value_or(m_metronome.bpm()));
        const int beats =
            done ? m_metronome.beats() : step.tempo.beats.value_or(m_metronome.beats());
        out.summary = QStringLiteral("Tempo %1").arg(bpm) + dot + QStringLiteral("%1/4").arg(beats);
        break;
    }
    case Action::StopTempo:
        out.summary = QStringLiteral("Tempo stopped");
        break;
    case Action::ShowSettings:
        out.summary = QStringLiteral("Opening settings");
        break;
    case Action::Quit:
        out.summary = QStringLiteral("Quitting");
        break;
    }
    return out;
}

CommandInterpreter::Outcome CommandInterpreter::interpret(const QString& line, Field field) const {
    return describe(decide(line, field), field, false);
}

CommandInterpreter::Outcome CommandInterpreter::run(const QString& line, Field field) {
    const Step step = decide(line, field);
    perform(step, field);
    return describe(step, field, true);
}

std::optional<QString> CommandInterpreter::preview(const QString& text) const {
    const QString line = Trim::spacesAndTabs(text);
    if (line.isEmpty() || verbs().contains(line.toLower()))
        return std::nullopt;
    if (const auto tempo = TempoWords::parse(line, true))
        return QStringLiteral("\u2669 ") + QString::number(tempo->bpm.value_or(m_metronome.bpm()));
    const auto command = Parser::parse(line, m_clock.now());
    if (!command)
        return std::nullopt;
    if (command->kind == Command::Kind::Stopwatch)
        return QStringLiteral("Stopwatch");
    const QString clock = Words::clock(double(command->total), true);
    return command->labelCut ? clock + QStringLiteral(" \u00B7 label shortened") : clock;
}

QString CommandInterpreter::lapClock(double seconds) {
    // Via whole milliseconds, so 65.43 s does not show as 65.42 through binary rounding.
    const qint64 ms = std::llround(seconds * 1000.0);
    return Words::clock(seconds, false) + u'.' +
           QStringLiteral("%1").arg(ms / 10 % 100, 2, 10, QLatin1Char('0'));
}
