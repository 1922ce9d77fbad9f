#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

class Clock;
class Metronome;
class Settings;
class TimerEngine;

// What runs, for `pobi --status`: panel widgets and scripts ask the running Pobi and print the
// answer, so both forms are one line.
namespace StatusReport {
// "timer running 24:13 left · Tea · ends 14:45", "timer paused 10:00 left", "timer done · Tea",
// "stopwatch 03:07 · 2 laps", "tempo 120 3/4 running" or "idle", with " · muted" when spoken
// lines are off. A running metronome is told after a timer or stopwatch that runs beside it.
// The end is a time of day to the nearest minute, in locale's short format.
QString text(const TimerEngine& engine, const Metronome& metronome, const Settings& settings,
             const Clock& clock, const QLocale& locale = QLocale());
// The same as one compact JSON object: mode ("timer", "stopwatch", "tempo" or "idle"), state
// ("running", "paused", "done" or "idle"), whole seconds remaining (a timer's, rounded up) or
// elapsed (a stopwatch's, rounded down), label, laps, end (a running timer's, ISO 8601 with the
// offset from UTC), tempo (whether the metronome runs), bpm, beats and muted.
QByteArray json(const TimerEngine& engine, const Metronome& metronome, const Settings& settings,
                const Clock& clock);
} // namespace StatusReport
