#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "solver/bfs_solver.h"
#include "tests/solver/reference_search.h"

namespace {

const std::string kGoal(BfsSolver::kGoal);

// A nine-digit board read as a decimal number: a cheap, exact key.
uint32_t Code(const std::string& board) {
    return static_cast<uint32_t>(std::stoul(board));
}

// Moves to the goal of every solvable board, from one breadth-first pass backwards from the
// goal (every move can be undone, so distance from and to the goal agree).
class DistanceTable {
  public:
    DistanceTable() {
        distance_.reserve(181440);
        std::vector<std::string> order{kGoal};
        distance_[Code(kGoal)] = 0;
        for (size_t i = 0; i < order.size(); ++i) {
            const int next = distance_.at(Code(order[i])) + 1;
            for (int m = 0; m < 4; ++m) {
                std::string n = reference::Moved(order[i], static_cast<reference::Move>(m));
                if (!n.empty() && distance_.emplace(Code(n), next).second) {
                    order.push_back(std::move(n));
                }
            }
        }
    }
    size_t size() const { return distance_.size(); }
    bool Solvable(const std::string& board) const { return distance_.count(Code(board)) != 0; }
    int at(const std::string& board) const { return distance_.at(Code(board)); }

  private:
    std::unordered_map<uint32_t, int> distance_;
};

const DistanceTable& DistanceToGoal() {
    static const DistanceTable table;
    return table;
}

// A board some random moves away from the goal.
std::string Scrambled(std::mt19937& rng, int moves) {
    std::string board = kGoal;
    for (int k = 0; k < moves; ++k) {
        std::string options[4];
        int count = 0;
        for (int m = 0; m < 4; ++m) {
            std::string n = reference::Moved(board, static_cast<reference::Move>(m));
            if (!n.empty()) options[count++] = std::move(n);
        }
        board = options[std::uniform_int_distribution<int>(0, count - 1)(rng)];
    }
    return board;
}

// A uniformly random solvable board.
std::string RandomSolvable(std::mt19937& rng) {
    std::string board = kGoal;
    do {
        std::shuffle(board.begin(), board.end(), rng);
    } while (!DistanceToGoal().Solvable(board) || board == kGoal);
    return board;
}

void ExpectShortestValidPath(BfsSolver& solver, const std::string& start) {
    SCOPED_TRACE(start);
    solver.Reset(start);
    ASSERT_TRUE(solver.FindAnswer());
    ASSERT_FALSE(solver.AnswerPath.empty());
    EXPECT_EQ(solver.AnswerPath.back(), 0);
    if (DistanceToGoal().at(start) == 1) {
        // Found while expanding the start: the walk back to it is taken once anyway.
        EXPECT_EQ(solver.AnswerPath, (std::vector<int32_t>{0, 0}));
        return;
    }
    const std::vector<std::string> steps = reference::ForwardSteps(solver);
    EXPECT_EQ(steps.front(), start);
    for (size_t k = 1; k < steps.size(); ++k) {
        EXPECT_TRUE(reference::OneMoveApart(steps[k - 1], steps[k])) << "step " << k;
    }
    EXPECT_TRUE(reference::OneMoveApart(steps.back(), kGoal));
    EXPECT_EQ(static_cast<int>(steps.size()), DistanceToGoal().at(start));
}

TEST(BfsSolverProperty, DistanceTableCoversOneParityClass) {
    EXPECT_EQ(DistanceToGoal().size(), 181440u);
    EXPECT_FALSE(DistanceToGoal().Solvable("123456870"));
    EXPECT_EQ(DistanceToGoal().at("867254301"), 31);
}

// Mostly boards near the goal, where a search is quick, plus a few uniformly random ones that
// need most of the board space.
TEST(BfsSolverProperty, PathsAreShortestWalksOfSingleMoves) {
    std::mt19937 rng(20240611);
    BfsSolver solver;
    int searched = 0;
    while (searched < 300) {
        const std::string start = Scrambled(rng, std::uniform_int_distribution<int>(1, 16)(rng));
        if (start == kGoal) continue;
        ExpectShortestValidPath(solver, start);
        ++searched;
    }
    for (int k = 0; k < 4; ++k) ExpectShortestValidPath(solver, RandomSolvable(rng));
    for (const char* hardest : {"867254301", "647850321"}) ExpectShortestValidPath(solver, hardest);
}

// Shallow boards, where the plain quadratic search is affordable: every member must match it,
// which pins down the order of MapList and so the tie-break between equally short answers.
TEST(BfsSolverProperty, SameAsPlainSearchOnShallowBoards) {
    std::mt19937 rng(7);
    BfsSolver solver;
    for (int k = 0; k < 24; ++k) {
        const std::string start = Scrambled(rng, 3 + k % 7);
        SCOPED_TRACE(start);
        solver.Reset(start);
        const bool found = solver.FindAnswer();
        const reference::Result expected = reference::Search(start);
        ExpectSameAs(solver, found, expected);
        reference::ExpectWellFormed(solver.MapList);
    }
}

}  // namespace
