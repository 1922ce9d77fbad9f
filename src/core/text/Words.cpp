#include "core/text/Words.h"

#include <QRegularExpression>
#include <QStringList>
#include <charconv>
#include <cmath>

namespace {

QString counted(qint64 n, const char* unit, bool plural) {
    return QString::number(n) + u' ' + QLatin1String(unit) +
           (plural ? QStringLiteral("s") : QString());
}

} // namespace

namespace Words {

QString spell(qint64 n) {
    const qint64 h = n / 3600;
    const qint64 r = n - h * 3600;
    const qint64 m = r / 60;
    const qint64 s = n % 60;
    QStringList parts;
    if (n >= 3600)
        parts << counted(h, "hour", n >= 7200);
    if (r >= 60)
        parts << counted(m, "minute", r >= 120);
    // From an hour upward the seconds are not worth saying.
    if (s >= 1 && n <= 3599)
        parts << counted(s, "second", s != 1);
    return parts.isEmpty() ? QStringLiteral("0 seconds") : parts.join(u' ');
}

QString clock(double x, bool roundUp) {
    // The small offset keeps 1500.0000004 from showing as the next second up.
    const double v = roundUp ? std::ceil(x - 0.000001) : std::floor(x);
    const qint64 n = static_cast<qint64>(v);
    const qint64 t = std::max<qint64>(n, 0);
    if (n >= 3600)
        return QString::asprintf("%lld:%02lld:%02lld", static_cast<long long>(t / 3600),
                                 static_cast<long long>(t % 3600 / 60),
                                 static_cast<long long>(t % 60));
    return QString::asprintf("%02lld:%02lld", static_cast<long long>(t % 3600 / 60),
                             static_cast<long long>(t % 60));
}

QString spellLap(double x) {
    const qint64 n = static_cast<qint64>(x); // toward zero
    const qint64 mins = n / 60;
    // As the C library's "%.1f" in the C locale: exact binary ties round to even (12.25 gives
    // "12.2", where Qt's own formatter rounds up), and the decimal point is '.' in any locale.
    char buffer[64];
    const auto printed =
        std::to_chars(buffer, buffer + sizeof buffer, x - static_cast<double>(mins) * 60.0,
                      std::chars_format::fixed, 1);
    QString secs = QString::fromLatin1(buffer, printed.ptr - buffer);
    if (secs.endsWith(QLatin1String(".0")))
        secs.chop(2);
    const QString prefix = n >= 60 ? counted(mins, "minute", n >= 120) + u' ' : QString();
    return prefix + secs + QStringLiteral(" seconds");
}

QString shortTime(const QTime& time, const QLocale& locale) {
    // Some short formats (the C locale's among them) carry seconds.
    static const QRegularExpression seconds(QStringLiteral("[:.]ss?"));
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(seconds);
    return locale.toString(time, format);
}

} // namespace Words
