// The plan of the longest timer with the densest announcements.
#include "core/settings/Settings.h"
#include "core/timer/Plan.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void MakeDayLongPlan(benchmark::State& state) {
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("pobi.ini")));
    settings.setEvery(1);
    settings.setCountdown(10);
    std::size_t lines = 0;
    for (auto _ : state) {
        const PlanMap plan = Plan::make(86400, QStringLiteral("Day"), settings);
        lines = plan.size();
        benchmark::DoNotOptimize(plan);
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(MakeDayLongPlan)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
