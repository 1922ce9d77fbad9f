#pragma once

#include <QList>
#include <optional>

class Clock;

// Estimates a tempo from the times the user taps: the mean of the last four intervals. A pause
// of more than two seconds starts a new measurement.
class TapTempo {
public:
    explicit TapTempo(Clock& clock) : m_clock(clock) {}

    // Records a tap now; the tempo in beats per minute (30 to 260) from the second tap on.
    std::optional<int> tap();

private:
    Clock& m_clock;
    QList<qint64> m_times; // steady clock, ms
};
