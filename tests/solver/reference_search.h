#pragma once

// Independent, deliberately plain versions of the move rules and the search, for checking
// BfsSolver's exact output (order of MapList, tie-breaks, AnswerPath) on small inputs.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "solver/bfs_solver.h"

namespace reference {

enum Move { kUp, kLeft, kRight, kDown };

// The blank is the first '0'; moves exist only while it stands on one of the nine board cells,
// and a target cell past the end of a short string leaves the string as it is.
inline std::string Moved(const std::string& s, Move move) {
    const size_t blank = s.find('0');  // npos is past the board too
    if (blank >= 9) return "";
    const size_t row = blank / 3;
    const size_t col = blank % 3;
    const bool on_board[4] = {row > 0, col > 0, col < 2, row < 2};
    if (!on_board[move]) return "";
    const size_t target = move == kUp      ? blank - 3
                          : move == kLeft  ? blank - 1
                          : move == kRight ? blank + 1
                                           : blank + 3;
    std::string out = s;
    if (target < out.size()) std::swap(out[blank], out[target]);
    return out;
}

struct Result {
    bool found = false;
    std::vector<BfsSolver::MapNode> map_list;
    std::vector<int32_t> answer_path;
    std::array<std::string, 4> next_map;
};

// Breadth-first search with a linear std::find_if duplicate check, starting from map_list as
// given (normally just the start) and leaving answer_path alone unless the goal is reached.
inline Result Search(std::vector<BfsSolver::MapNode> map_list,
                     std::vector<int32_t> answer_path = {}) {
    Result r;
    for (size_t i = 0; i < map_list.size() && !r.found; ++i) {
        const std::string current = map_list[i].Map;
        for (int m = 0; m < 4; ++m) r.next_map[m] = Moved(current, static_cast<Move>(m));
        for (const std::string& candidate : r.next_map) {
            if (candidate == "123456780") {
                r.found = true;
                answer_path = {static_cast<int32_t>(i)};
                while (answer_path.back() != 0 || answer_path.size() == 1) {
                    answer_path.push_back(map_list[answer_path.back()].Parent);
                }
                break;
            }
            const bool stored =
                std::find_if(map_list.begin(), map_list.end(), [&](const auto& node) {
                    return node.Map == candidate;
                }) != map_list.end();
            if (!candidate.empty() && !stored) {
                map_list.push_back({static_cast<int32_t>(i), candidate});
            }
        }
    }
    r.map_list = std::move(map_list);
    r.answer_path = std::move(answer_path);
    return r;
}

inline Result Search(const std::string& start) {
    return Search({{0, start}});
}

// Whether one blank move turns a into b (a move that leaves the string unchanged does not count).
inline bool OneMoveApart(const std::string& a, const std::string& b) {
    if (a == b) return false;
    for (int m = 0; m < 4; ++m) {
        if (Moved(a, static_cast<Move>(m)) == b) return true;
    }
    return false;
}

// What holds for any MapList grown by a search from a single start: positions unique, each
// parent expanded before its children (so parents never decrease), and each entry one move
// from its parent.
inline void ExpectWellFormed(const std::vector<BfsSolver::MapNode>& list) {
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].Parent, 0);
    std::vector<std::string> maps;
    maps.reserve(list.size());
    for (const auto& node : list) maps.push_back(node.Map);
    std::sort(maps.begin(), maps.end());
    EXPECT_EQ(std::adjacent_find(maps.begin(), maps.end()), maps.end()) << "duplicate position";
    for (size_t i = 1; i < list.size(); ++i) {
        const int32_t parent = list[i].Parent;
        ASSERT_GE(parent, list[i - 1].Parent) << "entry " << i;
        ASSERT_LT(static_cast<size_t>(parent), i) << "entry " << i;
        ASSERT_TRUE(OneMoveApart(list[static_cast<size_t>(parent)].Map, list[i].Map))
            << "entry " << i << " " << list[i].Map;
    }
}

// The positions of a found solution from the start on: MapList[AnswerPath[N-K]] for K = 0..N.
inline std::vector<std::string> ForwardSteps(const BfsSolver& solver) {
    std::vector<std::string> steps;
    for (auto it = solver.AnswerPath.rbegin(); it != solver.AnswerPath.rend(); ++it) {
        steps.push_back(solver.MapList.at(static_cast<size_t>(*it)).Map);
    }
    return steps;
}

// Every observable member of the solver against the reference's result.
inline void ExpectSameAs(const BfsSolver& solver, bool found, const Result& expected) {
    EXPECT_EQ(found, expected.found);
    EXPECT_EQ(solver.MapList.size(), expected.map_list.size());
    EXPECT_TRUE(solver.MapList == expected.map_list);
    EXPECT_EQ(solver.AnswerPath, expected.answer_path);
    EXPECT_EQ(solver.NextMap, expected.next_map);
}

}  // namespace reference
