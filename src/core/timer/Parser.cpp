#include "core/timer/Parser.h"

#include "core/text/Trim.h"

#include <QHash>
#include <QRegularExpression>
#include <QTimeZone>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

struct Preset {
    const char* key;
    qint64 seconds;
    const char* label;
};

// Tried in this order; the first key that fits wins ("long break" before "break").
constexpr Preset presets[] = {
    {"pomodoro", 1500, "Focus"},       {"pomo", 1500, "Focus"},     {"focus", 1500, "Focus"},
    {"long break", 900, "Long break"}, {"break", 300, "Break"},     {"tea", 180, "Tea"},
    {"coffee", 240, "Coffee"},         {"eggs", 420, "Eggs"},       {"egg", 420, "Egg"},
    {"pasta", 600, "Pasta"},           {"nap", 1200, "Nap"},        {"plank", 60, "Plank"},
    {"meditate", 600, "Meditation"},   {"standup", 900, "Standup"},
};

// Matched with Unicode properties, so white space and word boundaries follow Unicode (a no-break
// space separates, "ê" is a letter), while numbers are spelt [0-9]: digits of other scripts are
// no number.
const QString stopwatchPattern = QStringLiteral("^(sw|stopwatch|watch|count ?up)$");
const QString clockPattern =
    QStringLiteral("^(?:at|until|till|til|by)\\s+([0-9]{1,2})(?::([0-9]{2}))?"
                   "\\s*(am|pm|a|p)?(?![\\p{L}0-9])");
const QString colonPattern =
    QStringLiteral("^([0-9]{1,3}):([0-9]{1,2})(?::([0-9]{1,2}))?(?=\\s|$)");
const QString durationPattern = QStringLiteral(
    "^\\s*([0-9]+(?:\\.[0-9]+)?)\\s*(hours?|hrs?|h|minutes?|mins?|m|seconds?|secs?|s)"
    "(?!\\p{L})");
const QString trailingPattern = QStringLiteral("^\\s*([0-9]+)(?![0-9.:\\p{L}])");
const QString numberPattern = QStringLiteral("^([0-9]+(?:\\.[0-9]+)?)(?=\\s|$)");
const QString halfHourPattern = QStringLiteral("^half (?:an )?hour\\b");
const QString oneUnitPattern = QStringLiteral("^an? (hour|minute)\\b");
const QString tidyPattern = QStringLiteral("^(?:for\\b|[:,\\-\u2013\\x{2014}])\\s*");

// Each pattern is compiled on first use and kept; the Timer page parses on every keystroke.
// Main thread only, so the cache needs no lock. A pattern that does not compile is not kept and
// matches nothing.
QRegularExpressionMatch match(const QString& pattern, QStringView text, bool checked = true) {
    static QHash<QString, QRegularExpression> cache;
    auto it = cache.constFind(pattern);
    if (it == cache.constEnd()) {
        QRegularExpression re(pattern, QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::UseUnicodePropertiesOption);
        if (!re.isValid())
            return QRegularExpressionMatch();
        it = cache.insert(pattern, re);
    }
    // Checking the subject is linear in its length, which the duration loop cannot afford on
    // every pass; parse() hands it text already made valid.
    return it->match(text, 0, QRegularExpression::NormalMatch,
                     checked ? QRegularExpression::NoMatchOption
                             : QRegularExpression::DontCheckSubjectStringMatchOption);
}

// A lone surrogate becomes U+FFFD, one code unit for one, so positions stay the same and the
// pattern engine never sees invalid UTF-16.
QString validUtf16(QString s) {
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < n && s.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            s[i] = QChar::ReplacementCharacter;
    }
    return s;
}

// The captures hold ASCII digits only, so this cannot fail except by being out of range: a
// number too large becomes infinite (and is then refused by the range check), one too small 0.
double number(QStringView digits) {
    const QByteArray latin = digits.toLatin1();
    double value = 0;
    const auto [end, error] = std::from_chars(latin.data(), latin.data() + latin.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        const qsizetype dot = latin.indexOf('.');
        const QByteArray whole = dot < 0 ? latin : latin.left(dot);
        const bool allZero = whole.count('0') == whole.size();
        return allZero ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return error == std::errc() ? value : std::numeric_limits<double>::quiet_NaN();
}

// The part of the typed line after the first n code units of what a rule consumed.
QString restAfter(const QString& trimmed, qsizetype n) {
    return n < trimmed.size() ? trimmed.mid(n) : QString();
}

// The instant when the wall clock of zone shows time on date. A time skipped by a daylight-saving
// change becomes the first instant after the gap; of a repeated hour the first pass is taken.
std::optional<QDateTime> resolve(QDate date, QTime time, const QTimeZone& zone) {
    const QDateTime asUtc(date, time, Qt::UTC);
    if (!asUtc.isValid())
        return std::nullopt;
    const qint64 wall = asUtc.toMSecsSinceEpoch();
    auto offsetAt = [&zone](qint64 ms) {
        return zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC));
    };
    constexpr qint64 day = 86'400'000;
    int offsets[] = {offsetAt(wall - 2 * day), offsetAt(wall - day), offsetAt(wall),
                     offsetAt(wall + day), offsetAt(wall + 2 * day)};
    std::optional<qint64> best;
    for (int offset : offsets) {
        const qint64 instant = wall - qint64(offset) * 1000;
        if (offsetAt(instant) == offset && (!best || instant < *best))
            best = instant;
    }
    if (!best) {
        // In a gap: the wall time lies between the last instant of the old offset and the first
        // of the new one. Find that first instant to the second.
        const auto [minOffset, maxOffset] =
            std::minmax_element(std::begin(offsets), std::end(offsets));
        qint64 lo = (wall - qint64(*maxOffset) * 1000) / 1000;
        qint64 hi = (wall - qint64(*minOffset) * 1000) / 1000;
        const int before = offsetAt(lo * 1000);
        if (offsetAt(hi * 1000) == before)
            return std::nullopt;
        while (hi - lo > 1) {
            const qint64 mid = lo + (hi - lo) / 2;
            (offsetAt(mid * 1000) == before ? lo : hi) = mid;
        }
        best = hi * 1000;
    }
    return QDateTime::fromMSecsSinceEpoch(*best, zone);
}

// Whole seconds until the next hour:minute on the wall clock of now's zone.
std::optional<double> secondsUntil(const QDateTime& now, const QList<int>& hours, int minute) {
    QTimeZone zone = now.timeZone();
    if (!zone.isValid())
        zone = QTimeZone(now.offsetFromUtc());
    const QDate today = now.date();
    std::optional<double> best;
    for (int hour : hours) {
        std::optional<QDateTime> date = resolve(today, QTime(hour, minute), zone);
        if (!date)
            continue;
        if (*date <= now) {
            // One calendar day later at the same wall-clock time.
            const QDateTime local = date->toTimeZone(zone);
            if (auto next = resolve(local.date().addDays(1), local.time(), zone))
                date = next;
        }
        const double seconds = static_cast<double>(now.msecsTo(*date)) / 1000.0;
        if (!best || seconds < *best)
            best = seconds;
    }
    return best;
}

Command stopwatch() {
    return Command{Command::Kind::Stopwatch, 0, QString()};
}

std::optional<Command> clockTime(const QRegularExpressionMatch& m, const QString& trimmed,
                                 const QDateTime& now, QDateTime* until) {
    const int hour = m.capturedView(1).toInt();
    const int minute = m.hasCaptured(2) ? m.capturedView(2).toInt() : 0;
    if (hour > 23 || minute > 59)
        return std::nullopt;
    QList<int> hours;
    if (m.hasCaptured(3))
        hours << (m.capturedView(3).startsWith(u'p', Qt::CaseInsensitive) ? hour % 12 + 12
                                                                          : hour % 12);
    else if (hour <= 12)
        hours << hour % 12 << hour % 12 + 12;
    else
        hours << hour;
    if (!now.isValid())
        return std::nullopt;
    const std::optional<double> seconds = secondsUntil(now, hours, minute);
    if (!seconds)
        return std::nullopt;
    const auto command = Parser::timer(*seconds, restAfter(trimmed, m.capturedLength(0)));
    if (command && until)
        *until = now.addMSecs(qRound64(*seconds * 1000.0));
    return command;
}

std::optional<Command> duration(const QString& lowered, const QString& trimmed) {
    static const QHash<QString, double> units = [] {
        QHash<QString, double> map;
        for (const char* w : {"h", "hr", "hrs", "hour", "hours"})
            map.insert(QLatin1String(w), 3600);
        for (const char* w : {"m", "min", "mins", "minute", "minutes"})
            map.insert(QLatin1String(w), 60);
        for (const char* w : {"s", "sec", "secs", "second", "seconds"})
            map.insert(QLatin1String(w), 1);
        return map;
    }();
    double total = 0;
    double lastUnit = 0;
    qsizetype consumed = 0;
    for (;;) {
        const QRegularExpressionMatch m =
            match(durationPattern, QStringView(lowered).mid(consumed), false);
        if (!m.hasMatch() || m.capturedLength(0) == 0)
            break;
        const double unit = units.value(m.captured(2), 0);
        total += number(m.capturedView(1)) * unit;
        lastUnit = unit;
        consumed += m.capturedLength(0);
    }
    if (lastUnit == 0)
        return std::nullopt;
    if (lastUnit > 1) {
        // "1h30" is 90 minutes and "2m30" 150 seconds: a bare number counts in the next unit.
        const QRegularExpressionMatch m =
            match(trailingPattern, QStringView(lowered).mid(consumed), false);
        if (m.hasMatch()) {
            total += number(m.capturedView(1)) * (lastUnit == 3600 ? 60 : 1);
            consumed += m.capturedLength(0);
        }
    }
    return Parser::timer(total, restAfter(trimmed, consumed));
}

} // namespace

namespace Parser {

std::optional<Command> parseLine(const QString& text, const QDateTime& now, QDateTime* until);

std::optional<Command> parse(const QString& text, const QDateTime& now, QDateTime* until) {
    std::optional<Command> command = parseLine(text, now, until);
    if (command && command->label.size() > maxLabel) {
        // At the last space that leaves at least half of the room, else mid-word; never between
        // the halves of a surrogate pair.
        qsizetype cut = command->label.lastIndexOf(u' ', maxLabel);
        if (cut < maxLabel / 2)
            cut = command->label[maxLabel].isLowSurrogate() ? maxLabel - 1 : maxLabel;
        command->label = Trim::spacesAndTabs(command->label.left(cut));
        command->labelCut = true;
    }
    return command;
}

std::optional<Command> parseLine(const QString& text, const QDateTime& now, QDateTime* until) {
    const QString trimmed = text.trimmed();
    const QString lowered = validUtf16(trimmed.toLower());
    if (lowered.isEmpty())
        return stopwatch();

    if (match(stopwatchPattern, lowered, false).hasMatch())
        return stopwatch();

    for (const Preset& p : presets) {
        const QLatin1String key(p.key);
        if (lowered == key || (lowered.startsWith(key) && lowered.size() > key.size() &&
                               lowered[key.size()] == u' ')) {
            QString label = tidy(restAfter(trimmed, key.size()));
            if (label.isEmpty())
                label = QLatin1String(p.label);
            return Command{Command::Kind::Timer, p.seconds, label};
        }
    }

    if (const auto m = match(clockPattern, lowered, false); m.hasMatch())
        return clockTime(m, trimmed, now, until); // an impossible time ends the search here

    if (const auto m = match(colonPattern, lowered, false); m.hasMatch()) {
        const double a = number(m.capturedView(1));
        const double b = number(m.capturedView(2));
        const double seconds =
            m.hasCaptured(3) ? a * 3600 + b * 60 + number(m.capturedView(3)) : a * 60 + b;
        return timer(seconds, restAfter(trimmed, m.capturedLength(0)));
    }

    // Once units are found the line is a duration: one out of range is no command, not a bare
    // number with a label ("25 hours" is not 25 minutes of "Hours").
    if (match(durationPattern, lowered, false).hasMatch())
        return duration(lowered, trimmed);

    if (const auto m = match(numberPattern, lowered, false); m.hasMatch())
        return timer(number(m.capturedView(1)) * 60, restAfter(trimmed, m.capturedLength(0)));

    if (const auto m = match(halfHourPattern, lowered, false); m.hasMatch())
        return Command{Command::Kind::Timer, 1800, tidy(restAfter(trimmed, m.capturedLength(0)))};

    if (const auto m = match(oneUnitPattern, lowered, false); m.hasMatch())
        return timer(m.capturedView(1) == QLatin1String("hour") ? 3600 : 60,
                     restAfter(trimmed, m.capturedLength(0)));

    return std::nullopt;
}

QString tidy(const QString& s) {
    QString out = Trim::horizontal(s);
    const QRegularExpressionMatch m = match(tidyPattern, out);
    if (m.hasMatch())
        out = Trim::horizontal(QStringView(out).mid(m.capturedLength(0)));
    if (out.isEmpty())
        return out;
    // The first character in upper case; it may become more than one ("ß" -> "SS").
    const qsizetype first =
        out.size() > 1 && out[0].isHighSurrogate() && out[1].isLowSurrogate() ? 2 : 1;
    return out.left(first).toUpper() + out.mid(first);
}

std::optional<Command> timer(double seconds, const QString& label) {
    if (!std::isfinite(seconds))
        return std::nullopt;
    const double n = std::round(seconds); // halves away from zero
    if (n < 1 || n > 86400)
        return std::nullopt;
    return Command{Command::Kind::Timer, static_cast<qint64>(n), tidy(label)};
}

} // namespace Parser
