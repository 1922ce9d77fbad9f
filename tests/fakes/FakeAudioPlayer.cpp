#include "FakeAudioPlayer.h"

bool FakeAudioPlayer::start() {
    if (m_running)
        return true;
    if (!m_refuse.isEmpty()) {
        m_error = m_refuse;
        return false;
    }
    m_renderer.reset();
    m_output.clear();
    m_running = true;
    ++m_starts;
    return true;
}

void FakeAudioPlayer::stop() {
    if (!m_running)
        return;
    m_running = false;
    ++m_stops;
    m_renderer.reset();
}

void FakeAudioPlayer::scheduleVoice(int voice, const Buffer& buffer, qint64 at) {
    if (m_running)
        m_renderer.schedule(voice, buffer, at);
}

void FakeAudioPlayer::dropVoice(int voice) {
    if (m_running)
        m_renderer.dropVoice(voice);
}

std::vector<float> FakeAudioPlayer::render(int frames) {
    std::vector<float> block(static_cast<std::size_t>(frames), 0.0f);
    if (m_running) {
        m_renderer.render(block.data(), frames);
        m_output.insert(m_output.end(), block.begin(), block.end());
    }
    return block;
}

void FakeAudioPlayer::die(const QString& reason) {
    m_running = false;
    m_renderer.reset();
    emit failed(reason);
}
