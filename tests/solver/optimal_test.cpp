#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "solver/bfs_solver.h"
#include "solver/optimal_solver.h"

namespace {

using optimal::Answer;
using optimal::Outcome;
using optimal::Position;

Position Goal(int n) {
    Position p(static_cast<size_t>(n * n));
    std::iota(p.begin(), p.end(), 1);
    p.back() = 0;
    return p;
}

int Side(const Position& p) {
    return p.size() == 9 ? 3 : 4;
}

// Clicks the tiles in order; every click must be on a tile next to the blank. Empty when one
// is not.
Position Played(Position p, const std::vector<int>& tiles) {
    const int n = Side(p);
    for (const int tile : tiles) {
        const auto blank = std::find(p.begin(), p.end(), 0) - p.begin();
        const auto cell = std::find(p.begin(), p.end(), tile) - p.begin();
        if (tile <= 0 || cell == static_cast<long>(p.size())) return {};
        const long dr = std::abs(blank / n - cell / n), dc = std::abs(blank % n - cell % n);
        if (dr + dc != 1) return {};
        std::swap(p[static_cast<size_t>(blank)], p[static_cast<size_t>(cell)]);
    }
    return p;
}

// `moves` random slides of the blank from the goal: always solvable.
Position Walked(int n, int moves, std::mt19937& rng) {
    Position p = Goal(n);
    int blank = n * n - 1;
    for (int k = 0; k < moves; ++k) {
        const int r = blank / n, c = blank % n;
        std::vector<int> next;
        if (r > 0) next.push_back(blank - n);
        if (r < n - 1) next.push_back(blank + n);
        if (c > 0) next.push_back(blank - 1);
        if (c < n - 1) next.push_back(blank + 1);
        const int to = next[rng() % next.size()];
        std::swap(p[static_cast<size_t>(blank)], p[static_cast<size_t>(to)]);
        blank = to;
    }
    return p;
}

// Two tiles exchanged: the other parity class.
Position TwoTilesSwapped(Position p) {
    auto first = std::find_if(p.begin(), p.end(), [](int v) { return v != 0; });
    auto second = std::find_if(first + 1, p.end(), [](int v) { return v != 0; });
    std::iter_swap(first, second);
    return p;
}

void ExpectShortest(const Position& p, int length) {
    const Answer a = optimal::solve(p);
    ASSERT_EQ(a.outcome, Outcome::kSolved);
    EXPECT_EQ(static_cast<int>(a.tiles.size()), length);
    EXPECT_EQ(Played(p, a.tiles), Goal(Side(p)));
}

std::string Text(const Position& p) {
    std::string s;
    for (const int v : p) s += static_cast<char>('0' + v);
    return s;
}

TEST(OptimalSolver, ValidPositions) {
    EXPECT_TRUE(optimal::isValid(Goal(3)));
    EXPECT_TRUE(optimal::isValid(Goal(4)));
    EXPECT_TRUE(optimal::isValid({8, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_FALSE(optimal::isValid({}));
    EXPECT_FALSE(optimal::isValid({1, 2, 3, 0}));                    // 2 x 2
    EXPECT_FALSE(optimal::isValid({1, 2, 3, 4, 5, 6, 7, 0}));        // a cell short
    EXPECT_FALSE(optimal::isValid({1, 2, 3, 4, 5, 6, 7, 8, 0, 9}));  // a cell over
    EXPECT_FALSE(optimal::isValid({1, 1, 3, 4, 5, 6, 7, 8, 0}));     // repeated, 2 missing
    EXPECT_FALSE(optimal::isValid({1, 2, 3, 4, 5, 6, 7, 9, 0}));     // out of range
    EXPECT_FALSE(optimal::isValid({1, 2, 3, 4, 5, 6, 7, -8, 0}));
    EXPECT_FALSE(optimal::isValid({1, 2, 3, 4, 5, 6, 7, 8, 16, 10, 11, 12, 13, 14, 15, 0}));
    Position no_blank = Goal(4);
    no_blank.back() = 9;
    EXPECT_FALSE(optimal::isValid(no_blank));
    EXPECT_FALSE(optimal::isValid(Position(25, 0)));
}

TEST(OptimalSolver, InvalidPositionGetsNoSearch) {
    for (const Position& p :
         {Position{}, Position{1, 2, 3, 0}, Position{1, 1, 3, 4, 5, 6, 7, 8, 0}, Position(16, 0)}) {
        const Answer a = optimal::solve(p);
        EXPECT_EQ(a.outcome, Outcome::kInvalid);
        EXPECT_TRUE(a.tiles.empty());
        EXPECT_FALSE(optimal::isSolvable(p));
    }
}

// Random walks from the goal are solvable; the same with two tiles exchanged are not. Both
// boards, with the blank anywhere (on 4 x 4 the blank's row is part of the parity).
TEST(OptimalSolver, ParityAgainstWalks) {
    std::mt19937 rng(7);
    for (const int n : {3, 4}) {
        for (int k = 0; k < 300; ++k) {
            const Position p = Walked(n, k, rng);
            EXPECT_TRUE(optimal::isSolvable(p)) << Text(p);
            const Position q = TwoTilesSwapped(p);
            EXPECT_FALSE(optimal::isSolvable(q)) << Text(q);
        }
    }
    // The fifteen puzzle's famous one: 14 and 15 exchanged.
    Position loyd = Goal(4);
    std::swap(loyd[13], loyd[14]);
    EXPECT_FALSE(optimal::isSolvable(loyd));
}

TEST(OptimalSolver, UnsolvableAnsweredWithoutSearch) {
    Position loyd = Goal(4);
    std::swap(loyd[13], loyd[14]);
    for (const Position& p : {Position{1, 2, 3, 4, 5, 6, 8, 7, 0}, loyd}) {
        const Answer a = optimal::solve(p);
        EXPECT_EQ(a.outcome, Outcome::kUnsolvable);
        EXPECT_TRUE(a.tiles.empty());
    }
}

TEST(OptimalSolver, SolvedBoardNeedsNoMove) {
    for (const int n : {3, 4}) {
        const Answer a = optimal::solve(Goal(n));
        EXPECT_EQ(a.outcome, Outcome::kSolved);
        EXPECT_TRUE(a.tiles.empty());
    }
}

// Every position of the unsolvable 3 x 3 class, as BfsSolver's exhaustive search lists it, is
// unsolvable, and each with two tiles exchanged is solvable.
TEST(OptimalSolver, ParityOfEvery3x3Position) {
    BfsSolver bfs("123456870");
    ASSERT_FALSE(bfs.FindAnswer());
    ASSERT_EQ(bfs.MapList.size(), 181440u);
    int wrong = 0;
    Position p(9);
    for (const BfsSolver::MapNode& node : bfs.MapList) {
        for (size_t c = 0; c < 9; ++c) p[c] = node.Map[c] - '0';
        if (optimal::isSolvable(p) || !optimal::isSolvable(TwoTilesSwapped(p))) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
}

// Shortest lengths agree with the breadth-first solver on random solvable deals and on the two
// hardest positions (31 moves).
TEST(OptimalSolver, ThreeByThreeAgreesWithBreadthFirst) {
    std::mt19937 rng(2026);
    std::vector<Position> deals = {{8, 6, 7, 2, 5, 4, 3, 0, 1}, {6, 4, 7, 8, 5, 0, 3, 2, 1}};
    while (deals.size() < 24) {
        Position p = Goal(3);
        std::shuffle(p.begin(), p.end(), rng);
        if (optimal::isSolvable(p)) deals.push_back(p);
    }
    for (const Position& p : deals) {
        BfsSolver bfs(Text(p));
        if (Text(p) == BfsSolver::kGoal) continue;
        ASSERT_TRUE(bfs.FindAnswer()) << Text(p);
        SCOPED_TRACE(Text(p));
        ExpectShortest(p, static_cast<int>(bfs.AnswerPath.size()));
    }
}

TEST(OptimalSolver, OneMoveAway) {
    ExpectShortest({1, 2, 3, 4, 5, 6, 7, 0, 8}, 1);
    ExpectShortest({1, 2, 3, 4, 5, 0, 7, 8, 6}, 1);
    EXPECT_EQ(optimal::solve({1, 2, 3, 4, 5, 6, 7, 0, 8}).tiles, std::vector<int>{8});
}

TEST(OptimalSolver, RaisedCancelFlagEndsTheSearch) {
    std::atomic<bool> cancel{true};
    const Position hard3 = {8, 6, 7, 2, 5, 4, 3, 0, 1};
    const Position hard4 = {0, 12, 11, 1, 4, 10, 13, 9, 5, 8, 7, 3, 15, 14, 6, 2};  // Korf #82
    for (const Position& p : {hard3, hard4}) {
        const Answer a = optimal::solve(p, &cancel);
        EXPECT_EQ(a.outcome, Outcome::kCancelled);
        EXPECT_TRUE(a.tiles.empty());
    }
    // An answer needing no search is given whatever the flag says.
    EXPECT_EQ(optimal::solve({1, 2, 3, 4, 5, 6, 8, 7, 0}, &cancel).outcome, Outcome::kUnsolvable);
    cancel = false;
    EXPECT_EQ(optimal::solve(hard3, &cancel).outcome, Outcome::kSolved);
}

// Korf's instances (1985) that solve in a few thousand nodes, turned half a turn to the game's
// goal (cell i -> 15 - i, tile v -> 16 - v), with their known optimal lengths.
struct Korf {
    int number;
    int optimum;
    Position position;
};
const Korf kFastKorf[] = {
    {2, 55, {10, 5, 1, 0, 15, 9, 13, 14, 2, 8, 4, 7, 6, 12, 11, 3}},
    {9, 46, {0, 1, 15, 6, 9, 10, 4, 3, 14, 8, 12, 11, 5, 7, 2, 13}},
    {12, 45, {1, 3, 5, 6, 0, 13, 14, 9, 11, 4, 8, 12, 10, 7, 15, 2}},
    {42, 42, {6, 1, 15, 8, 5, 10, 13, 0, 3, 4, 2, 7, 14, 9, 11, 12}},
    {55, 41, {5, 10, 14, 4, 6, 12, 11, 1, 9, 0, 15, 7, 13, 2, 8, 3}},
    {73, 49, {3, 5, 7, 4, 0, 14, 12, 13, 15, 9, 8, 1, 11, 6, 2, 10}},
};

// One test for everything that needs the 4 x 4 tables, so that a run builds them once: a slice
// of the build, two threads racing to finish it, Korf's lengths, short walks, and a cancel
// mid-search.
TEST(OptimalSolver, FourByFour) {
    // A slice leaves the tables unfinished (hundreds of slices make them); solve() finishes them.
    EXPECT_FALSE(optimal::prepareSlice(0));
    EXPECT_FALSE(optimal::prepareSlice(1));

    std::vector<Answer> answers[2];
    auto solve_all = [](std::vector<Answer>& out) {
        for (const Korf& k : kFastKorf) out.push_back(optimal::solve(k.position));
    };
#ifdef __EMSCRIPTEN__  // no threads in the WebAssembly build
    solve_all(answers[1]);
#else
    std::thread other(solve_all, std::ref(answers[1]));
#endif
    solve_all(answers[0]);
#ifndef __EMSCRIPTEN__
    other.join();
#endif
    for (size_t i = 0; i < std::size(kFastKorf); ++i) {
        const Korf& k = kFastKorf[i];
        SCOPED_TRACE("Korf #" + std::to_string(k.number));
        for (const auto& a : answers) {
            ASSERT_EQ(a[i].outcome, Outcome::kSolved);
            EXPECT_EQ(static_cast<int>(a[i].tiles.size()), k.optimum);
            EXPECT_EQ(Played(k.position, a[i].tiles), Goal(4));
        }
    }

    // A walk of k moves needs at most k, and the same parity.
    std::mt19937 rng(44);
    for (int k = 1; k <= 30; ++k) {
        const Position p = Walked(4, k, rng);
        const Answer a = optimal::solve(p);
        ASSERT_EQ(a.outcome, Outcome::kSolved);
        EXPECT_LE(a.tiles.size(), static_cast<size_t>(k));
        EXPECT_EQ(a.tiles.size() % 2, static_cast<size_t>(k % 2));
        EXPECT_EQ(Played(p, a.tiles), Goal(4));
    }
    EXPECT_TRUE(optimal::prepareSlice(0));
    EXPECT_GT(optimal::tableInfo().bytes, 0u);
    ExpectShortest({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 15}, 1);
    ExpectShortest({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 13, 14, 15, 12}, 1);

#ifndef __EMSCRIPTEN__
    // A 62-move instance, cancelled from another thread once it has started.
    std::atomic<bool> cancel{false};
    std::thread canceller([&cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        cancel = true;
    });
    const Answer a =
        optimal::solve({0, 12, 11, 1, 4, 10, 13, 9, 5, 8, 7, 3, 15, 14, 6, 2}, &cancel);
    canceller.join();
    EXPECT_EQ(a.outcome, Outcome::kCancelled);
    EXPECT_TRUE(a.tiles.empty());
#endif
}

}  // namespace
