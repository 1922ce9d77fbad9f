#pragma once

#include "core/timer/TimerEngine.h"

#include <QString>
#include <optional>

// The short text shown next to the tray glyph (and under the tooltip's first line on desktops
// whose trays cannot show text). A running metronome wins over the timer.
namespace StatusTitle {
QString text(TimerEngine::State state, const QString& display, bool metronomeRunning, int bpm);
// The title is drawn in the secondary (grey) colour while the engine is paused, even when it
// shows the metronome's tempo.
bool grey(TimerEngine::State state);

// How much of the tray icon's ring is filled, 0...1, or absent for no ring (nothing runs):
// a countdown's share of time left, the seconds of the current minute for a stopwatch, and a
// full ring for a finished timer and for the metronome. Changes only in 1/60 steps.
std::optional<double> ring(TimerEngine::State state, Command::Kind kind, double remaining,
                           qint64 total, double elapsed, bool metronomeRunning);
} // namespace StatusTitle
