// The optimal solver's figures as plain text, without Google Benchmark, so the same program runs
// natively and under Node (scripts/bench-solver).
// Usage: optimal_korf [KORF_FILE [DEALS_4x4 [DEALS_3x3]]]; exit status 1 on any wrong length.

#include <cstdlib>
#include <string>

#include "bench/optimal_report.h"

#ifndef TESSLE_KORF_FILE
#define TESSLE_KORF_FILE "bench/korf100.txt"
#endif

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : TESSLE_KORF_FILE;
    const int deals4 = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int deals3 = argc > 3 ? std::atoi(argv[3]) : 1000;
    return optimal_report::Report(path, deals4, deals3) == 0 ? 0 : 1;
}
