#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "solver/bfs_solver.h"

namespace {

using Op = std::string (*)(std::string);
constexpr Op kMoves[4] = {&BfsSolver::GetMapUp, &BfsSolver::GetMapLeft, &BfsSolver::GetMapRight,
                          &BfsSolver::GetMapDown};
constexpr const char* kMoveNames[4] = {"up", "left", "right", "down"};

// For the blank at each 1-based board position: the position it moves to going up, left,
// right, down; 0 where the move leaves the board.
struct BoardMoves {
    int blank;
    int target[4];
};
constexpr BoardMoves kBoardMoves[] = {
    {1, {0, 0, 2, 4}}, {2, {0, 1, 3, 5}}, {3, {0, 2, 0, 6}}, {4, {1, 0, 5, 7}}, {5, {2, 4, 6, 8}},
    {6, {3, 5, 0, 9}}, {7, {4, 0, 8, 0}}, {8, {5, 7, 9, 0}}, {9, {6, 8, 0, 0}},
};

TEST(BfsSolverMoves, EveryBlankPositionOnTheBoard) {
    for (const BoardMoves& row : kBoardMoves) {
        std::string board = "12345678";
        board.insert(static_cast<size_t>(row.blank - 1), 1, '0');
        for (int m = 0; m < 4; ++m) {
            SCOPED_TRACE(board + " " + kMoveNames[m]);
            std::string expected;
            if (row.target[m] != 0) {
                expected = board;
                std::swap(expected[static_cast<size_t>(row.blank - 1)],
                          expected[static_cast<size_t>(row.target[m] - 1)]);
            }
            EXPECT_EQ(kMoves[m](board), expected);
        }
    }
}

// Strings that are not boards: the rules stay those of the nine position numbers, and the swap
// leaves the string unchanged when the target is past its end.
struct OddMoves {
    const char* name;
    std::string input;
    std::string expected[4];
};

const OddMoves kOddMoves[] = {
    {"long, blank at 9",
     "12345678010111213141516",
     {"12345078610111213141516", "12345670810111213141516", "", ""}},
    {"first zero at 12", "abcdefghijk0", {"", "", "", ""}},
    {"no zero", "12345678", {"", "", "", ""}},
    {"empty", "", {"", "", "", ""}},
    {"zero alone", "0", {"", "", "0", "0"}},
    {"two cells", "10", {"", "01", "10", "10"}},
    {"four cells", "1203", {"", "1023", "", "1203"}},
    {"only zeros", "000000000", {"", "", "000000000", "000000000"}},
    {"first of several zeros", "1020304", {"", "0120304", "1200304", "1320004"}},
    // \060 is '0', spelled so that it cannot run into a hex escape.
    {"high bytes", "\xff\xfe\060", {"", "\xff\060\xfe", "", "\xff\xfe\060"}},
    {"nul byte",
     std::string("\0\060", 2),
     {"", std::string("\060\0", 2), std::string("\0\060", 2), std::string("\0\060", 2)}},
};

TEST(BfsSolverMoves, OddStrings) {
    for (const OddMoves& row : kOddMoves) {
        for (int m = 0; m < 4; ++m) {
            SCOPED_TRACE(std::string(row.name) + " " + kMoveNames[m]);
            EXPECT_EQ(kMoves[m](row.input), row.expected[m]);
        }
    }
}

struct SwapCase {
    std::string input;
    int32_t p1;
    int32_t p2;
    std::string expected;
};

// clang-format off
const SwapCase kSwapCases[] = {
    {"123456780", 9, 9, "123456780"},  {"123456780", 0, 3, "123456780"},
    {"123456780", 3, 10, "123456780"}, {"123456780", -1, 2, "123456780"},
    {"123456780", 1, 9, "023456781"},  {"123456780", 9, 1, "023456781"},
    {"123456780", 4, 5, "123546780"},  {"ab", 1, 2, "ba"},
    {"ab", 2, 3, "ab"},                {"", 1, 1, ""},
    {"", 1, 2, ""},                    {"0", 1, 2, "0"},
    {"abc", INT32_MIN, INT32_MAX, "abc"},
};
// clang-format on

TEST(BfsSolverMoves, PSwap) {
    for (const SwapCase& c : kSwapCases) {
        SCOPED_TRACE(c.input + " " + std::to_string(c.p1) + "<->" + std::to_string(c.p2));
        EXPECT_EQ(BfsSolver::PSwap(c.input, c.p1, c.p2), c.expected);
    }
}

}  // namespace
