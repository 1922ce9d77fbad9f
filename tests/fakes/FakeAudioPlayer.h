#pragma once

#include "FakeClock.h"
#include "core/audio/AudioPlayer.h"
#include "core/audio/AudioRenderer.h"

#include <vector>

// An audio player with no device: the test renders the timeline itself, frame block by frame
// block, through the real renderer. start() can be made to fail, and a running player can be made
// to die as a lost sound server would.
class FakeAudioPlayer final : public AudioPlayer {
    Q_OBJECT
public:
    using AudioPlayer::AudioPlayer;

    bool start() override {
        if (!m_running && m_refuse.isEmpty()) {
            m_renderer.reset();
            m_output.clear();
            m_running = true;
        }
        return m_running;
    }
    // What was scheduled stays unheard: start() begins a new timeline.
    void stop() override { m_running = false; }
    bool isRunning() const override { return m_running; }
    QString errorString() const override { return m_running ? QString() : m_refuse; }
    qint64 sampleTime() const override { return m_running ? m_renderer.frames() : 0; }
    // What is rendered is heard latency frames later (a real device fills its buffer at once).
    qint64 playedTime() const override { return std::max<qint64>(0, sampleTime() - m_latency); }
    void setLatency(int frames) { m_latency = frames; }
    void scheduleVoice(int voice, const Buffer& buffer, qint64 at) override {
        m_renderer.schedule(voice, buffer, at);
    }
    void dropVoice(int voice) override { m_renderer.dropVoice(voice); }

    // Renders the next frames of the timeline, while running, onto the end of output().
    void render(int frames) {
        if (!m_running)
            return;
        m_output.resize(m_output.size() + static_cast<std::size_t>(frames));
        m_renderer.render(m_output.data() + m_output.size() - frames, frames);
    }
    const std::vector<float>& output() const { return m_output; }
    // Moves the clock and the timeline on together, 10 ms (441 frames) at a time, as a real
    // output would.
    void run(FakeClock& clock, int ms) {
        for (int t = 0; t < ms; t += 10) {
            render(441);
            clock.advance(10);
        }
    }
    // Whether the whole of buffer sits in output() from frame at on.
    bool holds(const std::vector<float>& buffer, qint64 at) const {
        return at >= 0 && at + qint64(buffer.size()) <= qint64(m_output.size()) &&
               std::equal(buffer.begin(), buffer.end(), m_output.begin() + at);
    }

    // The next start() fails with reason (an empty reason lets it succeed again).
    void failNextStarts(const QString& reason) { m_refuse = reason; }
    // Stops as a lost server would, sending failed(reason).
    void die(const QString& reason) {
        stop();
        emit failed(reason);
    }

private:
    AudioRenderer m_renderer;
    std::vector<float> m_output;
    bool m_running = false;
    QString m_refuse;
    int m_latency = 0;
};
