#include "calctools/LoanSchedule.h"

#include <benchmark/benchmark.h>

// Both 30-year schedules of a 350,000 loan at 5.94 % a year, computed and formatted.
static void BM_BothSchedules360(benchmark::State &state)
{
    const double monthly = static_cast<double>(5.94f) / 1200.0;
    for (auto _ : state) {
        QString instalments;
        QString principal;
        LoanSchedule::appendEqualInstalments(instalments, 350000.0f, monthly, 360);
        LoanSchedule::appendEqualPrincipal(principal, 350000.0f, monthly, 360);
        benchmark::DoNotOptimize(instalments.size() + principal.size());
    }
}
BENCHMARK(BM_BothSchedules360)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
