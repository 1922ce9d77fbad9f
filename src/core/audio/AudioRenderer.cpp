#include "core/audio/AudioRenderer.h"

#include <algorithm>
#include <cstring>

AudioRenderer::AudioRenderer() = default;

AudioRenderer::~AudioRenderer() = default;

bool AudioRenderer::schedule(int voice, const Buffer& buffer, qint64 at) {
    collect();
    if (!buffer || buffer->empty() || m_pending >= maxPending)
        return false;
    Command command{buffer, at, voice, Kind::Play};
    if (!m_commands.push(std::move(command)))
        return false;
    ++m_pending;
    return true;
}

void AudioRenderer::dropVoice(int voice) {
    collect();
    Command command{nullptr, 0, voice, Kind::Drop};
    m_commands.push(std::move(command));
}

void AudioRenderer::collect() {
    Buffer buffer;
    while (m_finished.pop(buffer)) {
        buffer.reset();
        --m_pending;
    }
}

void AudioRenderer::reset() {
    Command command;
    while (m_commands.pop(command))
        command = Command{};
    for (int i = 0; i < m_playingCount; ++i)
        m_playing[static_cast<std::size_t>(i)] = Voice{};
    m_playingCount = 0;
    Buffer buffer;
    while (m_finished.pop(buffer))
        buffer.reset();
    m_pending = 0;
    m_frames.store(0, std::memory_order_release);
}

void AudioRenderer::retire(int index) {
    auto& slot = m_playing[static_cast<std::size_t>(index)];
    // Cannot fail: at most maxPending buffers exist on this side, and the queue holds more.
    m_finished.push(std::move(slot.buffer));
    const int last = --m_playingCount;
    if (index != last)
        slot = std::move(m_playing[static_cast<std::size_t>(last)]);
}

void AudioRenderer::take(Command& command) {
    if (command.kind == Kind::Drop) {
        for (int i = m_playingCount - 1; i >= 0; --i) {
            const int voice = m_playing[static_cast<std::size_t>(i)].voice;
            if (command.voice == anyVoice || voice == command.voice)
                retire(i);
        }
        return;
    }
    const auto size = static_cast<qint64>(command.buffer->size());
    auto& slot = m_playing[static_cast<std::size_t>(m_playingCount++)];
    slot.at = command.at;
    slot.end = command.at + size;
    slot.voice = command.voice;
    slot.buffer = std::move(command.buffer);
}

void AudioRenderer::render(float* out, int count) {
    if (count <= 0)
        return;
    Command command;
    while (m_commands.pop(command))
        take(command);

    std::fill(out, out + count, 0.0f);
    const qint64 from = m_frames.load(std::memory_order_relaxed);
    const qint64 to = from + count;
    for (int i = m_playingCount - 1; i >= 0; --i) {
        const Voice& v = m_playing[static_cast<std::size_t>(i)];
        // Frame t of the output is frame t - at of the buffer, so a start already past plays
        // what is left of the buffer at once.
        const qint64 begin = std::max(v.at, from);
        const qint64 stop = std::min(v.end, to);
        if (begin < stop) {
            const float* src = v.buffer->data() + (begin - v.at);
            float* dst = out + (begin - from);
            for (qint64 k = 0, n = stop - begin; k < n; ++k)
                dst[k] += src[k];
        }
        if (v.end <= to)
            retire(i);
    }
    m_frames.store(to, std::memory_order_release);
}
