#include "core/tray/StatusTitle.h"

#include <algorithm>
#include <cmath>

namespace StatusTitle {

QString text(TimerEngine::State state, const QString& display, bool metronomeRunning, int bpm) {
    if (metronomeRunning)
        return QStringLiteral(" \u2669") + QString::number(bpm);
    switch (state) {
    case TimerEngine::State::Idle:
        return QString();
    case TimerEngine::State::Done:
        return QStringLiteral(" Done");
    case TimerEngine::State::Running:
    case TimerEngine::State::Paused:
        break;
    }
    return QStringLiteral(" ") + display;
}

bool grey(TimerEngine::State state) {
    return state == TimerEngine::State::Paused;
}

std::optional<double> ring(TimerEngine::State state, Command::Kind kind, double remaining,
                           qint64 total, double elapsed, bool metronomeRunning) {
    if (metronomeRunning || state == TimerEngine::State::Done)
        return 1.0;
    if (state == TimerEngine::State::Idle)
        return std::nullopt;
    double share = 0;
    if (kind == Command::Kind::Stopwatch)
        share = std::fmod(std::max(0.0, elapsed), 60.0) / 60.0;
    else if (total > 0)
        share = std::clamp(remaining / static_cast<double>(total), 0.0, 1.0);
    // Rounded up, so a countdown with any time left never shows an empty ring.
    return std::ceil(share * 60.0 - 1e-9) / 60.0;
}

} // namespace StatusTitle
