#pragma once

#include "core/audio/AudioPlayer.h"

#include <atomic>
#include <memory>

class AudioRenderer;
class AudioStream;
class QThread;

// The system's audio output through Qt Multimedia: a QAudioSink on the audio thread pulls the mix
// from an AudioRenderer. The main thread and the audio thread share only the renderer's lock-free
// queues and frame counter.
class QtAudioPlayer final : public AudioPlayer {
    Q_OBJECT
public:
    explicit QtAudioPlayer(QObject* parent = nullptr);
    ~QtAudioPlayer() override;

    bool start() override;
    void stop() override;
    bool isRunning() const override { return m_running; }
    QString errorString() const override { return m_error; }
    qint64 sampleTime() const override;
    qint64 playedTime() const override;
    void scheduleVoice(int voice, const Buffer& buffer, qint64 at) override;
    void dropVoice(int voice) override;

    // Whether the device took 16-bit samples instead of float (valid while running).
    bool int16() const { return m_int16; }

private:
    void teardown();

    std::unique_ptr<AudioRenderer> m_renderer;
    QThread* m_thread = nullptr;
    AudioStream* m_stream = nullptr;
    bool m_running = false;
    bool m_int16 = false;
    quint64 m_generation = 0;
    // Steady time (AudioStream::steadyNs) at which frame 0 is heard; kept by the audio thread.
    std::atomic<qint64> m_heardOrigin{0};
    QString m_error;
};
