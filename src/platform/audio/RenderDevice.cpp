#include "platform/audio/RenderDevice.h"

#include "core/audio/AudioRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

RenderDevice::RenderDevice(AudioRenderer& renderer, bool int16, QObject* parent)
    : QIODevice(parent), m_renderer(renderer), m_int16(int16) {}

qint64 RenderDevice::bytesAvailable() const {
    // Endless: the mix is rendered on demand.
    return (qint64(1) << 24) + QIODevice::bytesAvailable();
}

qint64 RenderDevice::readData(char* data, qint64 maxSize) {
    const qint64 frameBytes = m_int16 ? 2 : 4;
    const qint64 frames = maxSize / frameBytes;
    qint64 done = 0;
    while (done < frames) {
        const int n = static_cast<int>(std::min<qint64>(frames - done, scratchFrames));
        m_renderer.render(m_scratch.data(), n);
        char* out = data + done * frameBytes;
        if (m_int16) {
            for (int i = 0; i < n; ++i) {
                const float v = std::clamp(m_scratch[static_cast<std::size_t>(i)], -1.0f, 1.0f);
                const auto s = static_cast<qint16>(std::lrint(v * 32767.0f));
                std::memcpy(out + i * 2, &s, sizeof s);
            }
        } else {
            std::memcpy(out, m_scratch.data(), static_cast<std::size_t>(n) * sizeof(float));
        }
        done += n;
    }
    return frames * frameBytes;
}
