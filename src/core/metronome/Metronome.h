#pragma once

#include "core/audio/AudioPlayer.h"

#include <QObject>
#include <QPointer>

class Clock;
class ClockTimer;
class QSettings;
class QVariant;

// Clicks on every beat, scheduled sample-accurately 150 ms ahead on the audio player's timeline,
// with ticked() sent when each click is heard. Tempo, beats and accent persist in store.
//
// Beat events are timed from what the output is playing, not from what it has been handed: the
// latter runs ahead by whatever the sound server buffers (about 200 ms).
class Metronome : public QObject {
    Q_OBJECT
public:
    static constexpr int clickFrames = 3087;
    // The first click comes this long after start(), so it is never cut short.
    static constexpr int leadFrames = 3528;
    // How far ahead of the player's timeline clicks are scheduled.
    static constexpr int lookAheadFrames = 6615;
    static constexpr int schedulerIntervalMs = 20;

    Metronome(QSettings& store, AudioPlayer& player, Clock& clock, QObject* parent = nullptr);
    ~Metronome() override;

    void start();
    void stop();

    bool running() const { return m_running; }
    int beat() const { return m_beat; }
    int bpm() const { return m_bpm; }
    void setBpm(int bpm);
    int beats() const { return m_beats; }
    void setBeats(int beats);
    // What the user's controls and typed tempos change: the tempo kept within the limits and
    // written only when it differs (a write announces a change to everyone listening), the
    // beats with the next click made beat one when the count is already past the new bar.
    void changeBpm(int bpm);
    void changeBeats(int beats);
    bool accent() const { return m_accent; }
    void setAccent(bool accent);
    // On the clock's steady time.
    qint64 startedAt() const { return m_startedAt; }
    double secondsRunning() const;
    // Why the last start failed or the last run was cut short by the output; empty once a start
    // succeeds.
    QString error() const { return m_error; }
    // Index in the bar of the next click to schedule; callers that lower beats reset it.
    int n() const { return m_n; }
    void resetCounter() { m_n = 0; }

    // The two click sounds (3087 frames each).
    static AudioPlayer::Buffer hiClick();
    static AudioPlayer::Buffer loClick();

signals:
    void changed();
    void runningChanged(bool running);
    void beatChanged(int beat);
    void bpmChanged(int bpm);
    void beatsChanged(int beats);
    void accentChanged(bool accent);
    void ticked(int n, bool accent);

private:
    void schedule();
    // Sends the beat event for the click at frame once heard (the output now plays frame heard).
    void tickWhenHeard(qint64 frame, int n, bool accented, qint64 heard);
    void fail(const QString& reason);
    void setRunning(bool running);
    void setBeat(int beat);
    // Stores a tempo setting at once and announces the change.
    void persist(const QString& key, const QVariant& value);

    QSettings& m_store;
    AudioPlayer& m_player;
    Clock& m_clock;
    bool m_running = false;
    int m_beat = -1;
    int m_bpm = 100;
    int m_beats = 4;
    bool m_accent = true;
    qint64 m_startedAt = 0;
    QString m_error;
    QPointer<ClockTimer> m_timer;
    double m_nextSample = 0;
    int m_n = 0;
    // Counts starts, so that beat events of an earlier run never reach a later one.
    quint64 m_run = 0;
};
