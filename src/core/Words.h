#pragma once

#include <QString>

// Spoken durations and clock readings; English, digits only, independent of the locale.
namespace Words {
QString spell(qint64 seconds);               // "1 hour 30 minutes"
QString clock(double seconds, bool roundUp); // "25:00", "1:30:00"
QString spellLap(double seconds);            // "1 minute 15.3 seconds"
} // namespace Words
