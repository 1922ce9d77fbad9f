#include "core/metronome/TapTempo.h"

#include "core/clock/Clock.h"
#include "core/metronome/TempoWords.h"

#include <algorithm>
#include <cmath>

std::optional<int> TapTempo::tap() {
    constexpr int maxTaps = 5;
    const qint64 now = m_clock.monotonicMs();
    if (!m_times.isEmpty() && now - m_times.last() > 2000)
        m_times.clear();
    m_times.append(now);
    if (m_times.size() > maxTaps)
        m_times.removeFirst();
    if (m_times.size() < 2)
        return std::nullopt;

    double sum = 0.0;
    for (qsizetype i = 1; i < m_times.size(); ++i)
        sum += static_cast<double>(m_times[i] - m_times[i - 1]) / 1000.0;
    const double mean = sum / static_cast<double>(m_times.size() - 1);
    if (mean <= 0.0)
        return TempoWords::maxBpm;
    const auto bpm = std::lround(60.0 / mean);
    return static_cast<int>(std::clamp<long>(bpm, TempoWords::minBpm, TempoWords::maxBpm));
}
