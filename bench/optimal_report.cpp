#include "bench/optimal_report.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <numeric>
#include <random>
#include <sstream>

namespace optimal_report {

std::vector<KorfInstance> ReadKorf(const std::string& path) {
    std::vector<KorfInstance> instances;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        KorfInstance k;
        fields >> k.number >> k.optimum;
        std::vector<int> cells(16);
        for (int& c : cells) fields >> c;
        if (!fields) continue;
        k.position.assign(16, 0);
        for (int i = 0; i < 16; ++i) {
            k.position[static_cast<size_t>(15 - i)] =
                cells[static_cast<size_t>(i)] == 0 ? 0 : 16 - cells[static_cast<size_t>(i)];
        }
        instances.push_back(k);
    }
    return instances;
}

std::vector<optimal::Position> RandomDeals(int n, int count, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<optimal::Position> deals;
    optimal::Position p(static_cast<size_t>(n * n));
    while (static_cast<int>(deals.size()) < count) {
        // Fisher-Yates by hand: std::shuffle's draws differ between standard libraries, and the
        // native and WebAssembly runs must time the same deals.
        std::iota(p.begin(), p.end(), 0);
        for (size_t i = p.size() - 1; i > 0; --i) std::swap(p[i], p[rng() % (i + 1)]);
        if (optimal::isSolvable(p)) deals.push_back(p);
    }
    return deals;
}

Solved Time(const optimal::Position& position) {
    Solved s;
    optimal::SearchStats stats;
    const auto start = std::chrono::steady_clock::now();
    const optimal::Answer answer = optimal::solve(position, nullptr, &stats);
    s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (answer.outcome == optimal::Outcome::kSolved)
        s.length = static_cast<int>(answer.tiles.size());
    s.nodes = stats.nodes;
    return s;
}

Latency Summarise(std::vector<double> seconds, const std::vector<int>& lengths) {
    Latency l;
    if (seconds.empty()) return l;
    std::sort(seconds.begin(), seconds.end());
    const size_t n = seconds.size();
    l.median = n % 2 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2;
    l.p95 = seconds[std::min(n - 1, (n * 95 + 99) / 100 - 1)];
    l.max = seconds.back();
    l.mean_length =
        std::accumulate(lengths.begin(), lengths.end(), 0.0) / static_cast<double>(lengths.size());
    return l;
}

namespace {

double Ms(double seconds) {
    return seconds * 1000.0;
}

#ifdef __EMSCRIPTEN__
constexpr bool kProcessorTime = false;
#else
constexpr bool kProcessorTime = true;
#endif

// Processor time since `start`, as text; Emscripten's clock() is the wall clock, so nothing there
// (time the whole run with /usr/bin/time instead).
std::string ProcessorTime(std::clock_t start) {
#ifdef __EMSCRIPTEN__
    (void)start;
    return "";
#else
    char text[64];
    std::snprintf(text, sizeof text, ", processor time %.3f s",
                  static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
    return text;
#endif
}

int LatencyRun(const char* name, int n, int count, std::uint32_t seed) {
    int errors = 0;
    std::vector<double> seconds;
    std::vector<int> lengths;
    Solved slowest;
    optimal::Position slowest_deal;
    const std::clock_t cpu_start = std::clock();
    for (const optimal::Position& p : RandomDeals(n, count, seed)) {
        const Solved s = Time(p);
        if (s.length < 0) ++errors;
        seconds.push_back(s.seconds);
        lengths.push_back(s.length);
        if (s.seconds >= slowest.seconds) {
            slowest = s;
            slowest_deal = p;
        }
    }
    const std::string cpu = ProcessorTime(cpu_start) + (kProcessorTime ? " in all" : "");
    const Latency l = Summarise(seconds, lengths);
    std::printf(
        "%s latency over %d random solvable deals (seed %u): median %.3f ms, p95 %.3f ms, "
        "max %.3f ms; mean length %.2f%s\n",
        name, count, seed, Ms(l.median), Ms(l.p95), Ms(l.max), l.mean_length, cpu.c_str());
    if (!slowest_deal.empty()) {
        std::printf("  slowest deal:");
        for (const int v : slowest_deal) std::printf(" %d", v);
        std::printf(" (%d moves, %llu nodes)\n", slowest.length,
                    static_cast<unsigned long long>(slowest.nodes));
    }
    return errors;
}

}  // namespace

int Report(const std::string& korf_path, int deals4, int deals3) {
    int errors = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu_prepare = std::clock();
    optimal::prepare();
    const double prepare_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::string prepare_cpu = ProcessorTime(cpu_prepare);
    const optimal::TableInfo info = optimal::tableInfo();
    std::printf("4x4 tables: built in %.3f s%s; %.1f MB (%zu bytes)\n", prepare_seconds,
                prepare_cpu.c_str(), static_cast<double>(info.bytes) / 1e6, info.bytes);

    const std::vector<KorfInstance> korf = ReadKorf(korf_path);
    if (korf.size() != 100) {
        std::printf("error: %zu instances read from %s, 100 expected\n", korf.size(),
                    korf_path.c_str());
        ++errors;
    }
    double total = 0;
    const std::clock_t cpu_start = std::clock();
    std::uint64_t nodes = 0;
    Solved slowest;
    int slowest_number = 0;
    for (const KorfInstance& k : korf) {
        const Solved s = Time(k.position);
        total += s.seconds;
        nodes += s.nodes;
        if (s.seconds > slowest.seconds) {
            slowest = s;
            slowest_number = k.number;
        }
        if (s.length != k.optimum) {
            std::printf("error: Korf #%d solved in %d moves, the optimum is %d\n", k.number,
                        s.length, k.optimum);
            ++errors;
        }
    }
    const std::string cpu = ProcessorTime(cpu_start);
    std::printf("Korf 100: %.3f s in all%s, %llu nodes; slowest #%d, %.3f s; every length %s\n",
                total, cpu.c_str(), static_cast<unsigned long long>(nodes), slowest_number,
                slowest.seconds, errors == 0 ? "equals the known optimum" : "NOT checked out");
    errors += LatencyRun("4x4", 4, deals4, 20261208u);
    errors += LatencyRun("3x3", 3, deals3, 20261208u);
    std::printf("%s\n", errors == 0 ? "no errors" : "ERRORS");
    return errors;
}

}  // namespace optimal_report
