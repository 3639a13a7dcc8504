// The optimal solver under Google Benchmark: the 4 x 4 tables' build, Korf's 100 instances
// (every length checked against the known optimum), and the hint's latency over random deals of
// both boards. Each benchmark runs its whole set once; the figures are in the counters.
// optimal_korf prints the same figures as plain text (and runs under Node too).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/optimal_report.h"

namespace {

using optimal_report::Solved;

void BM_Tables(benchmark::State& state) {
    for (auto _ : state) optimal::prepare();  // the first call builds, the others return
    const optimal::TableInfo info = optimal::tableInfo();
    state.counters["build_s"] = info.build_seconds;
    state.counters["MB"] = static_cast<double>(info.bytes) / 1e6;
}

void BM_Korf100(benchmark::State& state) {
    optimal::prepare();
    const std::vector<optimal_report::KorfInstance> korf =
        optimal_report::ReadKorf(TESSLE_KORF_FILE);
    if (korf.size() != 100) {
        state.SkipWithError("cannot read Korf's 100 instances");
        for (auto _ : state) {
        }
        return;
    }
    double total = 0, slowest = 0;
    int slowest_number = 0, wrong = 0;
    for (auto _ : state) {
        for (const auto& k : korf) {
            const Solved s = optimal_report::Time(k.position);
            total += s.seconds;
            if (s.seconds > slowest) {
                slowest = s.seconds;
                slowest_number = k.number;
            }
            if (s.length != k.optimum) {
                std::fprintf(stderr, "Korf #%d: %d moves, the optimum is %d\n", k.number, s.length,
                             k.optimum);
                ++wrong;
            }
        }
    }
    state.counters["total_s"] = total;
    state.counters["slowest_s"] = slowest;
    state.counters["slowest_no"] = slowest_number;
    state.counters["wrong"] = wrong;
    if (wrong != 0) state.SkipWithError("a length differs from the known optimum");
}

void BM_Hint(benchmark::State& state, int n) {
    if (n == 4) optimal::prepare();
    const std::vector<optimal::Position> deals = optimal_report::RandomDeals(n, 1000, 20261208u);
    std::vector<double> seconds;
    std::vector<int> lengths;
    bool unsolved = false;
    for (auto _ : state) {
        for (const auto& p : deals) {
            const Solved s = optimal_report::Time(p);
            seconds.push_back(s.seconds);
            lengths.push_back(s.length);
            unsolved = unsolved || s.length < 0;
        }
    }
    const optimal_report::Latency l = optimal_report::Summarise(seconds, lengths);
    state.counters["median_ms"] = l.median * 1e3;
    state.counters["p95_ms"] = l.p95 * 1e3;
    state.counters["max_ms"] = l.max * 1e3;
    state.counters["mean_len"] = l.mean_length;
    if (unsolved) state.SkipWithError("a deal was not solved");
}

BENCHMARK(BM_Tables)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Korf100)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Hint, random_4x4_1000, 4)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Hint, random_3x3_1000, 3)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
