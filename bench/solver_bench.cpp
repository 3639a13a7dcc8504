// Search times of BfsSolver, and of the plain linear-scan search it replaces, which is kept
// here only as a yardstick.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "solver/bfs_solver.h"

namespace {

// 12 moves from solved: deep enough to show the quadratic cost of the scan, shallow enough for
// the scan to finish in milliseconds.
constexpr const char* kShallow = "536201478";

// The search as first written: MapList doubles as queue and seen set, and every candidate is
// looked up by scanning it newest first, with the candidate planted in entry 0 as a sentinel.
struct LinearScanSearch {
    std::vector<BfsSolver::MapNode> MapList;
    std::vector<int32_t> AnswerPath;

    bool IsExist(const std::string& s) {
        if (s == MapList[0].Map) return true;
        const std::string saved = MapList[0].Map;
        MapList[0].Map = s;
        size_t k = MapList.size() - 1;
        while (MapList[k].Map != s) --k;
        MapList[0].Map = saved;
        return k != 0;
    }

    bool FindAnswer(const std::string& start) {
        MapList.assign(1, BfsSolver::MapNode{0, start});
        size_t last = 0;
        for (size_t i = 0; i <= last; ++i) {
            const std::string map = MapList[i].Map;
            const std::string next[4] = {BfsSolver::GetMapUp(map), BfsSolver::GetMapLeft(map),
                                         BfsSolver::GetMapRight(map), BfsSolver::GetMapDown(map)};
            for (const std::string& candidate : next) {
                if (candidate == BfsSolver::kGoal) {
                    AnswerPath.assign(1, static_cast<int32_t>(i));
                    do {
                        AnswerPath.push_back(
                            MapList[static_cast<size_t>(AnswerPath.back())].Parent);
                    } while (AnswerPath.back() != 0);
                    return true;
                }
                if (!candidate.empty() && !IsExist(candidate)) {
                    MapList.push_back({static_cast<int32_t>(i), candidate});
                    ++last;
                }
            }
        }
        return false;
    }
};

void BM_Solver(benchmark::State& state, const char* start) {
    BfsSolver solver;
    for (auto _ : state) {
        solver.Reset(start);
        benchmark::DoNotOptimize(solver.FindAnswer());
    }
    state.counters["stored"] = static_cast<double>(solver.MapList.size());
    state.counters["moves"] = static_cast<double>(solver.AnswerPath.size());
}

void BM_LinearScan(benchmark::State& state, const char* start) {
    LinearScanSearch search;
    for (auto _ : state) {
        benchmark::DoNotOptimize(search.FindAnswer(start));
    }
    BfsSolver solver(start);
    solver.FindAnswer();
    if (search.MapList != solver.MapList || search.AnswerPath != solver.AnswerPath) {
        state.SkipWithError("linear scan and BfsSolver disagree");
    }
    state.counters["stored"] = static_cast<double>(search.MapList.size());
}

#define TESSLE_SOLVER_BENCH(func, name, start) \
    BENCHMARK_CAPTURE(func, name, start)       \
        ->Unit(benchmark::kMillisecond)        \
        ->Repetitions(5)                       \
        ->ReportAggregatesOnly(true)

TESSLE_SOLVER_BENCH(BM_Solver, exhaustive_123456870, "123456870");
TESSLE_SOLVER_BENCH(BM_Solver, moves31_867254301, "867254301");
TESSLE_SOLVER_BENCH(BM_Solver, moves31_647850321, "647850321");
TESSLE_SOLVER_BENCH(BM_Solver, moves12_536201478, kShallow);
TESSLE_SOLVER_BENCH(BM_LinearScan, moves12_536201478, kShallow);

}  // namespace

BENCHMARK_MAIN();
