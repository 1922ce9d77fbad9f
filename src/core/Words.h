#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// Spoken durations and clock readings; English, digits only, independent of the locale.
namespace Words {
QString spell(qint64 seconds);               // "1 hour 30 minutes"
QString clock(double seconds, bool roundUp); // "25:00", "1:30:00"
QString spellLap(double seconds);            // "1 minute 15.3 seconds"
// A time of day in the locale's short format, without seconds ("14:45", "2:45 PM"): the one
// place the locale counts, as it is how the user reads the clock.
QString shortTime(const QTime& time, const QLocale& locale);
} // namespace Words
