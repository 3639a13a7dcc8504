#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// Shortest solutions of any 3 x 3 or 4 x 4 position, for the hint and tessle-solve. The solver
// window keeps its own breadth-first search (bfs_solver.h); this one is for speed on both boards.
//
// A position lists the cells row by row: 0 is the blank, tile t (1 .. N*N-1) belongs in cell
// t - 1, so the solved board is 1 .. N*N-1 followed by the blank. N is 3 (9 cells) or 4 (16).
namespace optimal {

using Position = std::vector<int>;

enum class Outcome {
    kSolved,      // tiles holds a shortest solution (empty when the position is already solved)
    kUnsolvable,  // the position's parity rules out the solved board; answered without a search
    kCancelled,   // the cancel flag was raised before the search ended
    kInvalid,     // not 9 or 16 cells, or not each of 0 .. N*N-1 once
};

struct Answer {
    Outcome outcome = Outcome::kInvalid;
    // The tiles to click, in order: each slides into the blank next to it.
    std::vector<int> tiles;
};

// Whether the position is 9 or 16 cells holding each of 0 .. N*N-1 once.
bool isValid(const Position& position);

// Whether a valid position can reach the solved board.
bool isSolvable(const Position& position);

// A shortest solution. `cancel`, when given, is polled during the search; once it reads true the
// search ends with kCancelled. Safe to call from several threads at once. The first 4 x 4 call
// prepares the heuristic's tables (see prepare()).
Answer solve(const Position& position, const std::atomic<bool>* cancel = nullptr);

// Prepares the 4 x 4 tables now rather than at the first 4 x 4 solve; idempotent and thread-safe.
void prepare();

// Works on the 4 x 4 tables for about `milliseconds` (one slice at least, a few tens of
// milliseconds at most) and returns whether they are ready, for a caller with no thread to run
// prepare() on: the browser, from a timer, so that the page is not held up for seconds.
// Thread-safe; prepare() and solve() finish whatever is left.
bool prepareSlice(int milliseconds);

// What one search cost, for the benchmark.
struct SearchStats {
    std::uint64_t nodes = 0;  // nodes expanded over all iterations
};

// solve() that also reports its cost in `stats` when given.
Answer solve(const Position& position, const std::atomic<bool>* cancel, SearchStats* stats);

// The 4 x 4 tables, prepared on the first call if need be.
struct TableInfo {
    double build_seconds = 0;  // time prepare() took to make them
    std::size_t bytes = 0;     // memory they take
};
TableInfo tableInfo();

}  // namespace optimal
