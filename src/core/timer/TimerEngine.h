#pragma once

#include "core/timer/Command.h"
#include "core/timer/Plan.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <optional>

class Chime;
class Clock;
class ClockTimer;
class Settings;
class Speaker;

// The one countdown timer or stopwatch. Time left is always computed from the steady clock; a
// 100 ms heartbeat (only while running) speaks the plan's lines and finishes the timer. The end
// chime is set a second ahead, so that it sounds on the moment rather than when the output wakes.
class TimerEngine : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Running, Paused, Done };
    // What just happened to the run; alert is the last minute beginning.
    enum class Event { Start, Pause, Resume, Stop, Lap, Alert, Done };
    Q_ENUM(Event)
    struct Lap {
        int n = 0;
        double split = 0; // seconds
        double total = 0; // seconds
        bool operator==(const Lap&) const = default;
    };
    struct Next {
        qint64 at = 0;
        Line line;
    };

    // chime may be null (no end chime).
    TimerEngine(Settings& settings, Speaker& speaker, Clock& clock, Chime* chime = nullptr,
                QObject* parent = nullptr);
    ~TimerEngine() override;

    // until: for a timer to a time of day, that moment; the timer keeps to it on the wall clock
    // even when that clock is set meanwhile.
    void start(const Command& command, const QDateTime& until = {});
    void pause();
    void resume();
    void stop();
    void lap();
    void sayNow();
    // Takes up the run a previous Pobi left in the settings store (it quit, crashed or was killed
    // meanwhile), and from then on keeps the store up to date on every start, pause, resume, lap
    // and stop, so the next one can do the same. A timer that ended meanwhile shows done and says
    // when it ended. Only the wall clock is common to both processes: a run is stored by the wall
    // instant its current stretch began.
    void restore();
    std::optional<Next> next() const;

    State state() const { return m_state; }
    // The popup's mode switch sets a finished engine back to idle directly. Any state but
    // running also stops the heartbeat.
    void setState(State state);
    Command::Kind kind() const { return m_kind; }
    QString label() const { return m_label; }
    QList<Lap> laps() const { return m_laps; }
    QDateTime tick() const { return m_tick; }
    qint64 total() const { return m_total; }
    double elapsed() const;
    double remaining() const;
    bool active() const { return m_state == State::Running || m_state == State::Paused; }
    QString display() const;

signals:
    // Whole-object change: any property (state, kind, label, laps, tick) changed.
    void changed();
    void stateChanged(TimerEngine::State state);
    void eventSent(TimerEngine::Event event);

private:
    void replan();
    void loop();
    void step();
    void finish();
    void setTick();
    void say(const QString& text);
    void stopHeartbeat();
    // On the steady clock: when the running timer reaches zero.
    qint64 endsAtMs() const;
    void keepToWallClock();
    void setChime(bool wanted);
    void persist();

    Settings& m_settings;
    Speaker& m_speaker;
    Clock& m_clock;
    Chime* m_chime;
    State m_state = State::Idle;
    Command::Kind m_kind = Command::Kind::Timer;
    QString m_label;
    QList<Lap> m_laps;
    QDateTime m_tick;
    qint64 m_total = 0;
    bool m_alerted = false;
    double m_acc = 0;
    qint64 m_t0 = 0; // steady clock, when the current running stretch began
    QDateTime m_until;
    bool m_chimeSet = false; // the chime is set for m_chimeAt on the steady clock
    qint64 m_chimeAt = 0;
    PlanMap m_plan;
    qint64 m_lastSec = 0;
    qint64 m_lastEvery = 0;
    // Counts runs, so a delayed task of a finished run leaves a later one alone.
    int m_run = 0;
    QPointer<ClockTimer> m_timer;
    bool m_persist = false; // restore() has run: runs are kept in the settings store
};
