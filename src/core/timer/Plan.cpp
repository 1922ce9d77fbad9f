#include "core/timer/Plan.h"

#include "core/settings/Settings.h"
#include "core/text/Tone.h"
#include "core/text/Trim.h"
#include "core/text/Words.h"

#include <cmath>

namespace Plan {

PlanMap make(qint64 total, const QString& label, const Settings& settings) {
    PlanMap plan;
    const Tone tone = settings.tone();
    const qint64 countdown = settings.countdown();

    // Later steps overwrite earlier ones at the same key: end > count > half > minute > every.
    if (settings.every() > 0) {
        const qint64 step = static_cast<qint64>(settings.every()) * 60;
        for (qint64 key = total - step; key >= 1; key -= step) {
            if (key <= countdown || (key == 60 && settings.lastMinute()))
                continue;
            plan[key] = Line{Tones::left(tone, Words::spell(key)), Line::Kind::Every};
        }
    }
    if (settings.lastMinute() && total > 90)
        plan[60] = Line{Tones::minute(tone), Line::Kind::Minute};
    if (settings.halfway() && total >= 120) {
        const qint64 h = std::llround(static_cast<double>(total) / 2.0);
        if (h >= 1 && h < total)
            plan[h] = Line{Tones::half(tone, Words::spell(h)), Line::Kind::Half};
    }
    // A count is said whole or not at all.
    if (countdown > 0 && countdown + 2 < total) {
        for (qint64 i = 1; i <= countdown; ++i)
            plan[i] = Line{QString::number(i), Line::Kind::Count};
    }
    if (settings.onEnd())
        plan[0] = Line{endText(label, settings), Line::Kind::End};
    return plan;
}

QString endText(const QString& label, const Settings& settings) {
    const QString message = Trim::spacesAndTabs(settings.endMessage());
    if (message.isEmpty())
        return Tones::end(settings.tone(), label);
    return label.isEmpty() ? message : label + QStringLiteral(". ") + message;
}

} // namespace Plan
