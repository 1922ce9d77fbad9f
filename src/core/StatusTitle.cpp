#include "StatusTitle.h"

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

} // namespace StatusTitle
