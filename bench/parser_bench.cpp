// What the Timer page costs per keystroke: one parse of a typical line.
#include "core/timer/Parser.h"

#include <QTimeZone>
#include <benchmark/benchmark.h>

namespace {

const QStringList corpus = {
    "25m",
    "1h30",
    "1h 30 m",
    "1.5h",
    "90s",
    "5 min pasta",
    "10m - call mom",
    "20",
    "20 reading",
    "1:30",
    "1:30:00",
    "25:00 write",
    "tea",
    "Tea for two",
    "focus",
    "half an hour nap",
    "an hour",
    "a minute",
    "at 3pm",
    "until 17:45 standup",
    "at 2pm",
    "sw",
    "",
    "hello",
    "2 hours 15 minutes",
    "25m buy GPU",
    "pasta: al dente",
    "by 7:75",
    "long break",
    "at 12",
};

const QDateTime now(QDate(2026, 3, 2), QTime(14, 20), QTimeZone::systemTimeZone());

void ParseMixedCorpus(benchmark::State& state) {
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Parser::parse(corpus[i], now));
        i = (i + 1) % corpus.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParseMixedCorpus)->Repetitions(10)->ReportAggregatesOnly(true);

// The slowest kinds of line on their own.
void ParseLine(benchmark::State& state, const char* line) {
    const QString text = QString::fromUtf8(line);
    for (auto _ : state)
        benchmark::DoNotOptimize(Parser::parse(text, now));
}
BENCHMARK_CAPTURE(ParseLine, clockTime, "until 17:45 standup");
BENCHMARK_CAPTURE(ParseLine, duration, "2 hours 15 minutes");
BENCHMARK_CAPTURE(ParseLine, noCommand, "hello");

} // namespace

BENCHMARK_MAIN();
