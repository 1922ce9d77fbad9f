#include "core/tray/StatusMenu.h"

namespace StatusMenu {

std::vector<Item> items(TimerEngine::State state, bool metronomeRunning) {
    const bool active = state == TimerEngine::State::Running || state == TimerEngine::State::Paused;
    std::vector<Item> out;
    out.push_back({Action::Open, QStringLiteral("Open Pobi"), {}});
    if (metronomeRunning)
        out.push_back({Action::StopTempo, QStringLiteral("Stop tempo"), {}});
    if (active) {
        out.push_back({Action::TogglePause,
                       state == TimerEngine::State::Paused ? QStringLiteral("Resume")
                                                           : QStringLiteral("Pause"),
                       {}});
        out.push_back({Action::Stop, QStringLiteral("Stop"), {}});
    }
    out.push_back({Action::Separator, {}, {}});
    out.push_back({Action::Quit, QStringLiteral("Quit Pobi"), QStringLiteral("Ctrl+Q")});
    return out;
}

} // namespace StatusMenu
