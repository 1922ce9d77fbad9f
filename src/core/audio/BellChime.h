#pragma once

#include "core/audio/AudioPlayer.h"
#include "core/audio/Chime.h"

#include <QObject>
#include <QPointer>

class AudioShare;
class Clock;
class ClockTimer;
class SharedAudioPlayer;

// A short glass-like bell, played through the shared output. The output is held only while the
// bell is set or sounds, so a stopped metronome's output is started for it and released
// afterwards, while a running metronome's output is left alone. A bell set for a later moment
// holds the output from then on and is placed on the timeline shortly before, at the frame that
// will be heard at that moment.
class BellChime final : public QObject, public Chime {
    Q_OBJECT
public:
    // Frames of the bell (1.2 s).
    static constexpr int bellFrames = 52920;
    // The bell starts this long after play(), so the block being rendered does not cut its attack.
    static constexpr int leadFrames = 441;
    // On an output that has only just started, the bell waits until this frame: a sound server
    // can drop what arrives while it is still setting up the stream.
    static constexpr int startupFrames = 8820;
    // Output is held this long after the last rendered frame, for what the sound server still
    // buffers.
    static constexpr int tailMs = 300;
    // A bell set for later is placed this long before it sounds: further ahead than the sound
    // server buffers, and late enough for a fresh output to report what it plays.
    static constexpr int placeAheadMs = 400;

    BellChime(AudioShare& share, Clock& clock, QObject* parent = nullptr);
    ~BellChime() override;

    void play() override;
    void playAt(qint64 atMs) override;
    void cancel() override;
    // True while the bell holds the output.
    bool holding() const;

    static AudioPlayer::Buffer bell();

private:
    void releaseWhenDone();
    void place();

    SharedAudioPlayer* m_player;
    Clock& m_clock;
    QPointer<ClockTimer> m_release;
    QPointer<ClockTimer> m_place;
    qint64 m_at = 0;     // steady clock: when the bell set last is to sound
    qint64 m_placed = 0; // its first frame, once placed
    qint64 m_end = 0;
};
