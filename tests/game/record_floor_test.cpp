// The record floors: the fewest moves in which any dealt board can be won. A floor set too high
// would refuse a real record, one too low would let a written value stand no game could beat.
#include "game/app_info.h"
#include "game/board.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <vector>

namespace {

// The draws that make board::deal produce `target`, or nothing when no draws can: the deal is
// replayed, each step taking the index of the tile the target has there.
std::optional<std::vector<float>> drawsFor(const board::Map& target) {
    const int last = static_cast<int>(target.size()) - 1;
    std::vector<std::int16_t> remaining(target.size());
    for (int i = 0; i <= last; ++i) remaining[i] = static_cast<std::int16_t>(i);
    std::vector<float> draws;
    for (int n = last; n >= 0; --n) {
        int k = 0;
        while (k <= last && remaining[k] != target[last - n]) ++k;
        if (k > (n > 0 ? n - 1 : 0)) return std::nullopt;
        draws.push_back(n > 0 ? (static_cast<float>(k) + 0.5f) / static_cast<float>(n) : 0.0f);
        remaining[k] = remaining[n];
    }
    return draws;
}

// Breadth-first from the solved board over the blank's moves, up to `limit` moves: the first
// board the deal can make, with its distance.
std::pair<int, board::Map> nearestDeal(int gameType, int limit) {
    const int last = board::lastTile(gameType);
    board::Map solved(last + 1);
    for (int i = 0; i <= last; ++i) solved[i] = static_cast<std::int16_t>(i);
    std::map<board::Map, int> depth{{solved, 0}};
    std::deque<board::Map> queue{solved};
    while (!queue.empty()) {
        const board::Map at = queue.front();
        queue.pop_front();
        const int d = depth[at];
        if (drawsFor(at)) return {d, at};
        if (d == limit) continue;
        int blank = 0;
        while (at[blank] != last) ++blank;
        for (const int cell : board::neighbours(gameType, blank)) {
            board::Map next = at;
            std::swap(next[blank], next[cell]);
            if (depth.emplace(next, d + 1).second) queue.push_back(next);
        }
    }
    return {-1, {}};
}

TEST(RecordFloor, IsTheDistanceOfTheNearestBoardTheDealMakes) {
    for (const auto& [gameType, floor] :
         {std::pair{board::kGame33, kMinStep33Floor}, std::pair{board::kGame44, kMinStep44Floor}}) {
        const auto [distance, nearest] = nearestDeal(gameType, floor);
        EXPECT_EQ(distance, floor) << "board " << gameType;
        if (distance < 0) continue;
        // The deal itself makes that board from the draws found for it.
        const std::vector<float> draws = *drawsFor(nearest);
        std::size_t next = 0;
        EXPECT_EQ(board::deal(gameType, [&] { return draws.at(next++); }), nearest);
    }
}

}  // namespace
