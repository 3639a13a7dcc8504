#include "game/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

struct NeighbourCase {
    int gameType;
    int cell;
    std::vector<int> expected;  // left, right, above, below, those on the board only
};

class Neighbours : public ::testing::TestWithParam<NeighbourCase> {};

TEST_P(Neighbours, InClickOrderWithoutCellsOffTheBoard) {
    const auto& c = GetParam();
    EXPECT_EQ(board::neighbours(c.gameType, c.cell), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Board33, Neighbours,
    ::testing::Values(NeighbourCase{33, 0, {1, 3}}, NeighbourCase{33, 1, {0, 2, 4}},
                      NeighbourCase{33, 2, {1, 5}}, NeighbourCase{33, 3, {4, 0, 6}},
                      NeighbourCase{33, 4, {3, 5, 1, 7}}, NeighbourCase{33, 5, {4, 2, 8}},
                      NeighbourCase{33, 6, {7, 3}}, NeighbourCase{33, 7, {6, 8, 4}},
                      NeighbourCase{33, 8, {7, 5}}, NeighbourCase{33, -1, {}},
                      NeighbourCase{33, 9, {}}));

INSTANTIATE_TEST_SUITE_P(
    Board44, Neighbours,
    ::testing::Values(NeighbourCase{44, 0, {1, 4}}, NeighbourCase{44, 3, {2, 7}},
                      NeighbourCase{44, 4, {5, 0, 8}}, NeighbourCase{44, 5, {4, 6, 1, 9}},
                      NeighbourCase{44, 7, {6, 3, 11}}, NeighbourCase{44, 8, {9, 4, 12}},
                      NeighbourCase{44, 11, {10, 7, 15}}, NeighbourCase{44, 12, {13, 8}},
                      NeighbourCase{44, 15, {14, 11}}, NeighbourCase{44, 16, {}}));

// The row-wrap cases that a plain "index +/- 1" test gets wrong.
TEST(Neighbours, NeverWrapAroundARowEnd) {
    for (const int gameType : {33, 44}) {
        const int n = board::side(gameType);
        for (int cell = 0; cell < n * n; ++cell) {
            for (const int other : board::neighbours(gameType, cell)) {
                const int dr = std::abs(other / n - cell / n), dc = std::abs(other % n - cell % n);
                EXPECT_EQ(dr + dc, 1) << gameType << ": " << cell << " -> " << other;
            }
        }
    }
}

TEST(Geometry, SideAndBlankTile) {
    EXPECT_EQ(board::side(33), 3);
    EXPECT_EQ(board::side(44), 4);
    EXPECT_EQ(board::lastTile(33), 8);
    EXPECT_EQ(board::lastTile(44), 15);
}

board::Random scripted(std::vector<float> draws) {
    auto queue = std::make_shared<std::vector<float>>(std::move(draws));
    auto pos = std::make_shared<std::size_t>(0);
    return [queue, pos] { return (*queue)[(*pos)++ % queue->size()]; };
}

// Follows j -> TileMap(L - j) from 0 and counts the steps until it returns.
int cycleLength(const board::Map& map) {
    const int last = static_cast<int>(map.size()) - 1;
    int j = 0, steps = 0;
    do {
        j = map[last - j];
        ++steps;
    } while (j != 0 && steps <= last + 1);
    return steps;
}

TEST(Deal, DrawOrderTakesRemainingKThenFillsTheHole) {
    // All draws 0: k is always 0, so the first cell takes tile 0's replacement chain.
    const board::Map map = board::deal(33, scripted({0.0f}));
    // n = 8: cell 0 <- Remaining(0) = 0, Remaining(0) = 8; n = 7: cell 1 <- 8, Remaining(0) = 7;
    // ...
    EXPECT_EQ(map, (board::Map{0, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST(Deal, DrawsJustBelowOneStayInsideTheList) {
    const float below1 = std::nextafter(1.0f, 0.0f);
    for (const int gameType : {33, 44}) {
        const board::Map map = board::deal(gameType, scripted({below1}));
        std::vector<std::int16_t> sorted(map.begin(), map.end());
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i <= board::lastTile(gameType); ++i) EXPECT_EQ(sorted[i], i);
        EXPECT_EQ(cycleLength(map), board::lastTile(gameType) + 1);
    }
}

TEST(Deal, FaultyDrawsOutsideTheRangeStillGiveAPermutation) {
    for (const float r : {1.0f, 1.5f, -0.25f}) {
        const board::Map map = board::deal(44, scripted({r}));
        std::set<int> tiles(map.begin(), map.end());
        EXPECT_EQ(tiles.size(), 16u) << r;
        EXPECT_EQ(*tiles.begin(), 0);
        EXPECT_EQ(*tiles.rbegin(), 15);
        // A draw of 1 takes the last index it may, never the hole itself: still one cycle.
        if (r == 1.0f) {
            EXPECT_EQ(cycleLength(map), 16);
        }
    }
}

TEST(Deal, ManyDealsAreSingleCyclesWithTheBlankNeverInCellZero) {
    std::mt19937 engine(20261208);
    const board::Random random = [&engine] {
        return static_cast<float>(engine() >> 8) * (1.0f / 16777216.0f);
    };
    for (const int gameType : {33, 44}) {
        const int last = board::lastTile(gameType);
        const int deals = 16000;
        std::map<int, int> blankAt;
        std::set<board::Map> distinct;
        for (int d = 0; d < deals; ++d) {
            const board::Map map = board::deal(gameType, random);
            ASSERT_EQ(static_cast<int>(map.size()), last + 1);
            ASSERT_EQ(cycleLength(map), last + 1);
            ASSERT_FALSE(board::isComplete(map, gameType));
            const int blank =
                static_cast<int>(std::find(map.begin(), map.end(), last) - map.begin());
            ++blankAt[blank];
            distinct.insert(map);
        }
        EXPECT_EQ(blankAt.count(0), 0u);
        // Each of the cells 1..L gets the blank about equally often (within 20 % of the mean).
        const double mean = static_cast<double>(deals) / last;
        for (int cell = 1; cell <= last; ++cell) {
            EXPECT_NEAR(blankAt[cell], mean, mean * 0.2) << gameType << " cell " << cell;
        }
        EXPECT_GT(distinct.size(), static_cast<std::size_t>(deals * 0.8));
    }
}

TEST(Completion, OnlyTheNonBlankCellsCount) {
    EXPECT_TRUE(board::isComplete({0, 1, 2, 3, 4, 5, 6, 7, 8}, 33));
    EXPECT_FALSE(board::isComplete({0, 1, 2, 3, 4, 5, 6, 8, 7}, 33));
    EXPECT_FALSE(board::isComplete({1, 0, 2, 3, 4, 5, 6, 7, 8}, 33));
    board::Map big(16);
    for (int i = 0; i < 16; ++i) big[i] = static_cast<std::int16_t>(i);
    EXPECT_TRUE(board::isComplete(big, 44));
    std::swap(big[14], big[15]);
    EXPECT_FALSE(board::isComplete(big, 44));
    // Too short a map is never complete, rather than read past its end.
    EXPECT_FALSE(board::isComplete({0, 1, 2}, 33));
    EXPECT_FALSE(board::isComplete({}, 44));
}

TEST(BoardState, BlankIsZeroAndTilesCountFromOne) {
    EXPECT_EQ(board::toBoardState({0, 1, 2, 3, 4, 5, 6, 8, 7}), "123456708");
    EXPECT_EQ(board::toBoardState({0, 1, 2, 3, 4, 5, 7, 6, 8}), "123456870");
    EXPECT_EQ(board::toBoardState({8, 0, 1, 2, 3, 4, 5, 6, 7}), "012345678");
}

}  // namespace
