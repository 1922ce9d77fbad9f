#pragma once

#include "core/timer/TimerEngine.h"

#include <QObject>
#include <QPointer>

class Clock;
class ClockTimer;
class MascotBrain;
class Metronome;
class Settings;
class Speaker;

// Turns what the timer engine, the metronome, the voice and two settings do into the mascot's
// reactions, and speaks the metronome's lines (the tempo at start, practice time while it runs
// and at the end, a changed tempo). It has no state of its own that anyone reads.
class Director : public QObject {
    Q_OBJECT
public:
    Director(MascotBrain& mascot, TimerEngine& engine, Metronome& metronome, Speaker& speaker,
             Settings& settings, Clock& clock, QObject* parent = nullptr);
    ~Director() override;

    // How many practice intervals the current metronome run has announced (for tests).
    int practiceMark() const { return m_practiceMark; }
    int lastBpm() const { return m_lastBpm; }

    // Whether a caption is a whole decimal integer (optional sign) of value 1, 2 or 3; returns
    // that value, otherwise 0. The final countdown's captions are exactly such numbers.
    static int countdownDigit(const QString& caption);

private:
    void engineEvent(TimerEngine::Event event);
    void caption(const QString& text);
    void muted(bool muted);
    void ticked(int n, bool accent);
    void running(bool running);
    void bpm(int bpm);
    void every(int every);
    void say(const QString& text);
    // Whole seconds since the metronome last started.
    double secondsSinceStart() const;

    QPointer<MascotBrain> m_mascot;
    QPointer<TimerEngine> m_engine;
    QPointer<Metronome> m_metronome;
    QPointer<Speaker> m_speaker;
    QPointer<Settings> m_settings;
    Clock& m_clock;

    QPointer<ClockTimer> m_sayBpm;
    int m_practiceMark = 0;
    int m_lastBpm = 0;
    // Last values seen, so repeated assignments of the same value do nothing.
    bool m_lastMuted = false;
    bool m_lastRunning = false;
};
