#include "core/instance/StatusReport.h"

#include "core/clock/Clock.h"
#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/text/Words.h"
#include "core/timer/TimerEngine.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <cmath>

namespace {

using State = TimerEngine::State;

QString stateName(State state) {
    switch (state) {
    case State::Running:
        return QStringLiteral("running");
    case State::Paused:
        return QStringLiteral("paused");
    case State::Done:
        return QStringLiteral("done");
    case State::Idle:
        break;
    }
    return QStringLiteral("idle");
}

// The same whole seconds the popup shows: a countdown rounds up, a stopwatch down.
qint64 remainingSeconds(const TimerEngine& engine) {
    return static_cast<qint64>(std::ceil(engine.remaining() - 0.000001));
}
qint64 elapsedSeconds(const TimerEngine& engine) {
    return static_cast<qint64>(std::floor(engine.elapsed()));
}

QDateTime endsAt(const TimerEngine& engine, const Clock& clock) {
    return clock.now().addMSecs(qRound64(engine.remaining() * 1000.0));
}

// With the offset spelled out, "+00:00" too rather than "Z", so a reader in another zone (or a
// script cutting the string) always finds it in the same place.
QString isoWithOffset(const QDateTime& at) {
    const int offset = at.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return at.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

namespace StatusReport {

QString text(const TimerEngine& engine, const Metronome& metronome, const Settings& settings,
             const Clock& clock, const QLocale& locale) {
    QStringList parts;
    const State state = engine.state();
    if (state != State::Idle) {
        const bool timer = engine.kind() == Command::Kind::Timer;
        QString head;
        if (timer) {
            head = QStringLiteral("timer ") + stateName(state);
            if (state != State::Done)
                head += u' ' + Words::clock(engine.remaining(), true) + QStringLiteral(" left");
        } else {
            head = QStringLiteral("stopwatch ");
            if (state != State::Running)
                head += stateName(state) + u' ';
            head += Words::clock(engine.elapsed(), false);
        }
        parts << head;
        if (!engine.label().isEmpty())
            parts << engine.label();
        const qsizetype laps = engine.laps().size();
        if (!timer && laps > 0)
            parts << QStringLiteral("%1 lap%2").arg(laps).arg(laps == 1 ? "" : "s");
        if (timer && state == State::Running) {
            // To the nearest minute, as the Timer page shows the end.
            const QTime end = endsAt(engine, clock).addSecs(30).time();
            parts << QStringLiteral("ends ") +
                         Words::shortTime(QTime(end.hour(), end.minute()), locale);
        }
    }
    if (metronome.running())
        parts
            << QStringLiteral("tempo %1 %2/4 running").arg(metronome.bpm()).arg(metronome.beats());
    if (parts.isEmpty())
        parts << QStringLiteral("idle");
    if (settings.muted())
        parts << QStringLiteral("muted");
    return parts.join(QStringLiteral(" \u00B7 "));
}

QByteArray json(const TimerEngine& engine, const Metronome& metronome, const Settings& settings,
                const Clock& clock) {
    QJsonObject o;
    const State state = engine.state();
    if (state != State::Idle) {
        const bool timer = engine.kind() == Command::Kind::Timer;
        o[QStringLiteral("mode")] = timer ? QStringLiteral("timer") : QStringLiteral("stopwatch");
        o[QStringLiteral("state")] = stateName(state);
        o[QStringLiteral("label")] = engine.label();
        if (timer) {
            o[QStringLiteral("remaining")] = remainingSeconds(engine);
        } else {
            o[QStringLiteral("elapsed")] = elapsedSeconds(engine);
            o[QStringLiteral("laps")] = engine.laps().size();
        }
        if (timer && state == State::Running) {
            o[QStringLiteral("end")] = isoWithOffset(endsAt(engine, clock));
        }
    } else {
        o[QStringLiteral("mode")] =
            metronome.running() ? QStringLiteral("tempo") : QStringLiteral("idle");
        o[QStringLiteral("state")] =
            metronome.running() ? QStringLiteral("running") : QStringLiteral("idle");
    }
    o[QStringLiteral("tempo")] = metronome.running();
    o[QStringLiteral("bpm")] = metronome.bpm();
    o[QStringLiteral("beats")] = metronome.beats();
    o[QStringLiteral("muted")] = settings.muted();
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace StatusReport
