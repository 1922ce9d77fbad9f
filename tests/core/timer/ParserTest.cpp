#include "core/timer/Parser.h"

#include "LogCapture.h"

#include <QElapsedTimer>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

const QTimeZone berlin("Europe/Berlin");

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), berlin);
}

const QDateTime afternoon = at(2026, 3, 2, 14, 20);

struct Case {
    const char* input;
    std::optional<Command> expected;
};

Command timer(qint64 total, const char* label = "") {
    return {Command::Kind::Timer, total, label};
}
const Command stopwatch{Command::Kind::Stopwatch, 0, ""};
const std::optional<Command> none;

void PrintTo(const Case& c, std::ostream* os) {
    *os << '"' << c.input << '"';
}

class Parse : public ::testing::TestWithParam<Case> {};

TEST_P(Parse, AtTwentyPastTwo) {
    const Case& c = GetParam();
    const std::optional<Command> got = Parser::parse(QString::fromUtf8(c.input), afternoon);
    ASSERT_EQ(got.has_value(), c.expected.has_value());
    if (got) {
        EXPECT_EQ(got->kind, c.expected->kind);
        EXPECT_EQ(got->total, c.expected->total);
        EXPECT_EQ(got->label.toStdString(), c.expected->label.toStdString());
    }
}

// One row per rule and per boundary.
INSTANTIATE_TEST_SUITE_P(
    Lines, Parse,
    ::testing::Values(
        Case{"", stopwatch}, Case{"Count up", stopwatch}, Case{"sw 5", none},
        // Presets: whole line or key plus one space; table order decides.
        Case{"tea", timer(180, "Tea")}, Case{"Tea for two", timer(180, "Two")},
        Case{"tea 5m", timer(180, "5m")}, Case{"pasta: al dente", none},
        Case{"egg", timer(420, "Egg")}, Case{"pomo", timer(1500, "Focus")},
        Case{"Long Break", timer(900, "Long break")}, Case{"teatime", none},
        // Clock times, at 14:20.
        Case{"at 3 pm", timer(2400)}, Case{"at 3", timer(2400)}, Case{"at 2pm", timer(85200)},
        Case{"until 17:45 standup", timer(12300, "Standup")},
        Case{"at 12", timer(34800)},     // noon has passed, midnight tomorrow comes first
        Case{"at 12am", timer(34800)},   // midnight
        Case{"at 12pm", timer(78000)},   // noon tomorrow
        Case{"at 13am", timer(38400)},   // 01:00
        Case{"at 2:20pm", timer(86400)}, // equal to now: tomorrow
        Case{"at 14:21", timer(60)}, Case{"AT 3PM Call", timer(2400, "Call")},
        Case{"at 3:5", timer(2400, "5")}, Case{"at 25", none}, Case{"by 7:75", none},
        Case{"by 24:00", none}, Case{"at 3pmx", none}, Case{"at", none},
        // Colon, durations and bare numbers.
        Case{"1:30", timer(90)}, Case{"1:75", timer(135)},
        Case{"25:00 write", timer(1500, "Write")}, Case{"1000:00", none},
        Case{"24:00:00", timer(86400)}, Case{"24:00:01", none}, Case{"1:30pasta", none},
        Case{"25m", timer(1500)}, Case{"1h30", timer(5400)}, Case{"2m30", timer(150)},
        Case{"1.5h", timer(5400)}, Case{"2 hours 15 minutes", timer(8100)},
        Case{"30s 5", timer(30, "5")}, Case{"1h 2.5", timer(3600, "2.5")}, Case{"0.5s", timer(1)},
        Case{"0.4s", none}, Case{"86400.4s", timer(86400)}, Case{"86400.5s", none},
        Case{"25h", none}, Case{"99999999999999999999m", none}, Case{"5ms", none},
        Case{"20", timer(1200)}, Case{"20 reading", timer(1200, "Reading")}, Case{"1.5", timer(90)},
        Case{"1440", timer(86400)}, Case{"0", none}, Case{"-5m", none},
        Case{"half an hour nap", timer(1800, "Nap")}, Case{"an hour", timer(3600)},
        Case{"a minute: stretch", timer(60, "Stretch")}, Case{"an hourglass", none},
        Case{"hello", none},
        // Labels: one leading separator dropped, the rest kept as typed.
        Case{"10m - call mom", timer(600, "Call mom")}, Case{"5m for - x", timer(300, "- x")},
        Case{"5m for", timer(300)}, Case{"5m formal", timer(300, "Formal")},
        Case{"25m buy GPU", timer(1500, "Buy GPU")},
        Case{"5m \U0001d4b6b", timer(300, "\U0001d4b6b")},
        Case{"5m \u2014 \u00dfx", timer(300, "SSx")},
        Case{"5m, \u00e9t\u00e9", timer(300, "\u00c9t\u00e9")},
        Case{"25m for\u00eat", timer(1500, "For\u00eat")},
        Case{"25 m\u00eal\u00e9e", timer(1500, "M\u00eal\u00e9e")},
        // Unicode spaces; digits of other scripts; units out of range are no command at all.
        Case{"25\u00a0pasta\u2009", timer(1500, "Pasta")}, Case{"1h\u202f30\u00a0min", timer(5400)},
        Case{"\u0662\u0665m", none}, Case{"25 hours", none}));

// Daylight saving in Berlin: 2026-03-29 02:00 CET jumps to 03:00 CEST, 2026-10-25 03:00 CEST
// falls back to 02:00 CET.
TEST(Parser, ClockTimesAcrossDaylightSavingChanges) {
    struct Dst {
        QDateTime now;
        const char* input;
        std::optional<qint64> seconds;
    };
    const Dst cases[] = {
        // 02:30 does not exist that night: the first instant after the gap, 03:00 CEST.
        {at(2026, 3, 29, 1, 0), "at 2:30", 3600},
        // Once that has passed, one calendar day on from 03:00: 03:00 tomorrow.
        {at(2026, 3, 29, 10, 0), "at 2:30am", 17 * 3600},
        // The day before the change has 23 hours until the same time tomorrow.
        {at(2026, 3, 28, 14, 20), "at 2:20pm", 82800},
        // The repeated hour: the first pass (CEST) is taken.
        {at(2026, 10, 25, 0, 30), "at 2:30am", 7200},
        // During the second pass the first has gone: tomorrow's 02:30 CET.
        {QDateTime::fromMSecsSinceEpoch(
             QDateTime(QDate(2026, 10, 25), QTime(1, 45), Qt::UTC).toMSecsSinceEpoch(), berlin),
         "at 2:30am", 85500},
        // 25 hours ahead is more than a timer may run.
        {at(2026, 10, 24, 14, 20), "at 14:20", std::nullopt},
        {at(2026, 10, 24, 14, 20), "at 14:21", 60},
        // Without a now there is no clock time.
        {QDateTime(), "at 3pm", std::nullopt},
    };
    for (const Dst& c : cases) {
        SCOPED_TRACE(c.input + (" at " + c.now.toString(Qt::ISODate).toStdString()));
        const auto got = Parser::parse(QString::fromUtf8(c.input), c.now);
        EXPECT_EQ(got ? std::optional(got->total) : std::nullopt, c.seconds);
    }
}

TEST(Parser, APastedPageIsCutToAShortLabel) {
    EXPECT_FALSE(Parser::parse(QStringLiteral("25m tea"), afternoon)->labelCut);
    // At most 80 characters, cut at a word when there is one.
    const auto words = Parser::parse("25m " + QStringLiteral("word ").repeated(9999), afternoon);
    EXPECT_EQ(words->label, "Word" + QStringLiteral(" word").repeated(15));
    const auto letters = Parser::parse("at 3pm " + QString(500, u'x'), afternoon);
    EXPECT_EQ(letters->label, "X" + QString(79, u'x'));
    EXPECT_TRUE(words->labelCut && letters->labelCut);
}

// Text pasted or typed by accident: no warning, no hang (catastrophic backtracking would take
// minutes), and a command only where the line starts with one.
TEST(Parser, AnyTextYieldsACommandOrNothingQuickly) {
    QElapsedTimer timer;
    timer.start();
    const std::pair<QString, std::optional<qint64>> cases[] = {
        {QString(100'000, u'9'), std::nullopt},
        {QStringLiteral("1m").repeated(50'000), std::nullopt},
        {QStringLiteral("at ") + QString(100'000, u' ') + u'x', std::nullopt},
        {QStringLiteral("5") + QString(100'000, u' ') + u'm', 300},
        {QStringLiteral("1.") + QString(100'000, u'0') + u'1', 60},
        {QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1m"), std::nullopt},
        {QString(1, QChar(0xd800)) + QStringLiteral("5m"), std::nullopt},
        {QString::fromUtf16(u"5m\0x\x01\x7f", 7), 300},
    };
    LogCapture log;
    for (const auto& [in, total] : cases) {
        const auto got = Parser::parse(in, afternoon);
        EXPECT_EQ(got ? std::optional(got->total) : std::nullopt, total)
            << in.left(8).toStdString();
    }
    EXPECT_EQ(log.messages(), QStringList());
    EXPECT_LT(timer.elapsed(), 5000);
}

} // namespace
