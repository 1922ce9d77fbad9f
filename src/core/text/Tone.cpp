#include "core/text/Tone.h"

namespace {

// "Tea. " / "Tea! " before a sentence, or nothing for an empty label.
QString labelled(const QString& label, const char* separator) {
    return label.isEmpty() ? QString() : label + QLatin1String(separator);
}

} // namespace

namespace Tones {

QString rawValue(Tone tone) {
    switch (tone) {
    case Tone::Cheery:
        return QStringLiteral("cheery");
    case Tone::Coach:
        return QStringLiteral("coach");
    case Tone::Calm:
        break;
    }
    return QStringLiteral("calm");
}

QString displayName(Tone tone) {
    QString name = rawValue(tone);
    name[0] = name[0].toUpper();
    return name;
}

std::optional<Tone> fromRawValue(const QString& text) {
    for (Tone tone : all) {
        if (text == rawValue(tone))
            return tone;
    }
    return std::nullopt;
}

QString hello(Tone tone) {
    switch (tone) {
    case Tone::Cheery:
        return QStringLiteral("Hi! I'm Pobi! I tell you the time, out loud!");
    case Tone::Coach:
        return QStringLiteral("I'm Pobi. Let's get to work.");
    case Tone::Calm:
        break;
    }
    return QStringLiteral("Hi, I'm Pobi. I'll keep time for you.");
}

QString start(Tone tone, const QString& spelled, const QString& label) {
    switch (tone) {
    case Tone::Cheery:
        return labelled(label, "! ") + spelled + QStringLiteral(". Let's go!");
    case Tone::Coach:
        return labelled(label, ". ") + spelled + QStringLiteral(" on the clock. Go.");
    case Tone::Calm:
        break;
    }
    return labelled(label, ". ") + spelled + QStringLiteral(". Starting now.");
}

QString swStart(Tone tone) {
    switch (tone) {
    case Tone::Cheery:
        return QStringLiteral("Stopwatch on!");
    case Tone::Coach:
        return QStringLiteral("Clock's running.");
    case Tone::Calm:
        break;
    }
    return QStringLiteral("Stopwatch running.");
}

QString left(Tone tone, const QString& spelled) {
    switch (tone) {
    case Tone::Cheery:
        return spelled + QStringLiteral(" left. You've got this!");
    case Tone::Coach:
        return spelled + QStringLiteral(" left. Stay on it.");
    case Tone::Calm:
        break;
    }
    return spelled + QStringLiteral(" left.");
}

QString minute(Tone tone) {
    switch (tone) {
    case Tone::Cheery:
        return QStringLiteral("One more minute!");
    case Tone::Coach:
        return QStringLiteral("Final minute. Everything you've got.");
    case Tone::Calm:
        break;
    }
    return QStringLiteral("One minute left.");
}

QString half(Tone tone, const QString& spelled) {
    switch (tone) {
    case Tone::Cheery:
        return QStringLiteral("Halfway there! ") + spelled + QStringLiteral(" to go.");
    case Tone::Coach:
        return QStringLiteral("Halfway. ") + spelled + QStringLiteral(". Hold the pace.");
    case Tone::Calm:
        break;
    }
    return QStringLiteral("Halfway. ") + spelled + QStringLiteral(" to go.");
}

QString end(Tone tone, const QString& label) {
    switch (tone) {
    case Tone::Cheery:
        return label.isEmpty() ? QStringLiteral("Ding! Time's up!")
                               : QStringLiteral("Ding! ") + label + QStringLiteral(" is done!");
    case Tone::Coach:
        return QStringLiteral("Time. ") + labelled(label, ", done. ") +
               QStringLiteral("Good work.");
    case Tone::Calm:
        break;
    }
    return labelled(label, ". ") + QStringLiteral("Time's up.");
}

QString elapsed(Tone tone, const QString& spelled) {
    switch (tone) {
    case Tone::Cheery:
        return spelled + QStringLiteral(" in. Nice!");
    case Tone::Coach:
        return spelled + QStringLiteral(". Keep moving.");
    case Tone::Calm:
        break;
    }
    return spelled + QStringLiteral(".");
}

QString lap(Tone tone, int n, const QString& spelled) {
    const QString number = QStringLiteral("Lap ") + QString::number(n);
    switch (tone) {
    case Tone::Cheery:
        return number + QStringLiteral("! ") + spelled + QStringLiteral(".");
    case Tone::Coach:
        return number + QStringLiteral(". ") + spelled + QStringLiteral(". Again.");
    case Tone::Calm:
        break;
    }
    return number + QStringLiteral(". ") + spelled + QStringLiteral(".");
}

QString pause(Tone tone) {
    switch (tone) {
    case Tone::Cheery:
        return QStringLiteral("Taking a breather.");
    case Tone::Coach:
        return QStringLiteral("Hold.");
    case Tone::Calm:
        break;
    }
    return QStringLiteral("Paused.");
}

QString resume(Tone tone) {
    switch (tone) {
    case Tone::Cheery:
        return QStringLiteral("And we're back!");
    case Tone::Coach:
        return QStringLiteral("Back to it.");
    case Tone::Calm:
        break;
    }
    return QStringLiteral("Resuming.");
}

QString cancel(Tone tone) {
    switch (tone) {
    case Tone::Cheery:
        return QStringLiteral("Okay, cleared!");
    case Tone::Coach:
        return QStringLiteral("Stopped.");
    case Tone::Calm:
        break;
    }
    return QStringLiteral("Cancelled.");
}

QString practice(Tone tone, const QString& spelled) {
    switch (tone) {
    case Tone::Cheery:
        return spelled + QStringLiteral(" of practice. Sounding good!");
    case Tone::Coach:
        return spelled + QStringLiteral(". Stay in the pocket.");
    case Tone::Calm:
        break;
    }
    return spelled + QStringLiteral(" of practice.");
}

QString tempo(Tone tone, int bpm, const QString& signature) {
    const QString digits = QString::number(bpm);
    switch (tone) {
    case Tone::Cheery:
        return QStringLiteral("Tempo ") + digits + QStringLiteral("! ") + signature +
               QStringLiteral(". Let's play!");
    case Tone::Coach:
        return digits + QStringLiteral(". ") + signature + QStringLiteral(". Lock in.");
    case Tone::Calm:
        break;
    }
    return QStringLiteral("Tempo ") + digits + QStringLiteral(". ") + signature +
           QStringLiteral(".");
}

} // namespace Tones
