#pragma once

#include "AudioPlayer.h"
#include "Chime.h"

#include <QObject>
#include <QPointer>

class AudioShare;
class Clock;
class ClockTimer;
class SharedAudioPlayer;

// A short glass-like bell, played through the shared output. The output is held only while the
// bell sounds, so a stopped metronome's output is started for it and released afterwards, while a
// running metronome's output is left alone.
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

    BellChime(AudioShare& share, Clock& clock, QObject* parent = nullptr);
    ~BellChime() override;

    void play() override;
    // True while the bell holds the output.
    bool holding() const;

    static AudioPlayer::Buffer bell();

private:
    void releaseWhenDone();

    SharedAudioPlayer* m_player;
    Clock& m_clock;
    QPointer<ClockTimer> m_release;
    qint64 m_end = 0;
};
