#pragma once

#include "TimerEngine.h"

#include <QString>

// The short text shown next to the tray glyph (and under the tooltip's first line on desktops
// whose trays cannot show text). A running metronome wins over the timer.
namespace StatusTitle {
QString text(TimerEngine::State state, const QString& display, bool metronomeRunning, int bpm);
// The title is drawn in the secondary (grey) colour while the engine is paused, even when it
// shows the metronome's tempo.
bool grey(TimerEngine::State state);
} // namespace StatusTitle
