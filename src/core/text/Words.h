#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// Spoken durations and clock readings; English, digits only, independent of the locale, but for
// shortTime, a time of day shown to the user.
namespace Words {
QString spell(qint64 seconds);               // "1 hour 30 minutes"
QString clock(double seconds, bool roundUp); // "25:00", "1:30:00"
QString spellLap(double seconds);            // "1 minute 15.3 seconds"
// The locale's short time without seconds: a fixed time with seconds looks like a running clock.
QString shortTime(const QTime& time, const QLocale& locale); // "14:30", "2:30 PM"
} // namespace Words
