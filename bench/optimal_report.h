#pragma once

// The optimal solver's figures, shared by the Google Benchmark program (optimal_bench) and the
// plain program (optimal_korf) that also runs under Node in the WebAssembly build.

#include <cstdint>
#include <string>
#include <vector>

#include "solver/optimal_solver.h"

namespace optimal_report {

// One of Korf's 100 instances, turned to the game's goal (blank bottom-right).
struct KorfInstance {
    int number = 0;
    int optimum = 0;  // known shortest solution length
    optimal::Position position;
};

// Reads Korf's file (goal: blank top-left): turning the board half a turn maps cell i to 15 - i
// and tile v to 16 - v, which gives the game's goal. Empty on a file it cannot read.
std::vector<KorfInstance> ReadKorf(const std::string& path);

// `count` solvable deals of an n x n board, drawn from a std::mt19937 seeded with `seed`; the
// same deals in every build.
std::vector<optimal::Position> RandomDeals(int n, int count, std::uint32_t seed);

struct Solved {
    double seconds = 0;
    int length = -1;  // -1 when not solved
    std::uint64_t nodes = 0;
};

// Solves one position and times it.
Solved Time(const optimal::Position& position);

struct Latency {
    double median = 0, p95 = 0, max = 0;  // seconds
    double mean_length = 0;
};
Latency Summarise(std::vector<double> seconds, const std::vector<int>& lengths);

// Runs everything and prints the report to stdout; returns the number of errors (an instance
// solved at another length than its known optimum, or not solved). `deals4` and `deals3` are the
// numbers of random deals timed.
int Report(const std::string& korf_path, int deals4, int deals3);

}  // namespace optimal_report
