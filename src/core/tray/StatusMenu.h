#pragma once

#include "core/timer/TimerEngine.h"

#include <QString>
#include <vector>

// The items of the tray's right-click menu, decided afresh at every opening from the engine's
// state and whether the metronome runs.
namespace StatusMenu {

enum class Action { Open, StopTempo, TogglePause, Stop, Separator, Quit };

struct Item {
    Action action = Action::Separator;
    QString title;    // empty for the separator
    QString shortcut; // portable key sequence text, e.g. "Ctrl+Q"; empty for none
    bool operator==(const Item&) const = default;
};

std::vector<Item> items(TimerEngine::State state, bool metronomeRunning);

} // namespace StatusMenu
