#include "checks.h"
#include "solver/bfs_solver.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace fuzz_checks {

namespace {

// A PSwap position: mostly small (in and around a short string), now and then an extreme.
std::int32_t positionFor(std::uint8_t b) {
    constexpr std::int32_t kExtreme[] = {std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<std::int32_t>::max(),
                                         -1,
                                         0,
                                         24,
                                         25};
    return b < 240 ? static_cast<std::int32_t>(b % 30) - 2 : kExtreme[(b - 240) % 6];
}

std::string swapped(const std::string& s, std::int32_t p1, std::int32_t p2) {
    const auto len = static_cast<std::int64_t>(s.size());
    if (p1 < 1 || p2 < 1 || p1 > len || p2 > len || p1 == p2) return s;
    std::string out = s;
    std::swap(out[static_cast<std::size_t>(p1) - 1], out[static_cast<std::size_t>(p2) - 1]);
    return out;
}

// The moves of the blank (the first '0') written out from the rules: cells of a 3 x 3 board
// numbered 1..9, whatever the string's length. Calls f(direction, position after the move) for
// each allowed move, directions in the order up, left, right, down. The position is built in
// `scratch`, so a search's worth of moves costs no allocation.
template <class F>
void forEachMove(const std::string& s, std::string& scratch, F&& f) {
    const std::size_t z = s.find('0');
    const std::int64_t p = z == std::string::npos ? 0 : static_cast<std::int64_t>(z) + 1;
    const bool allowed[4] = {p >= 4 && p <= 9, p >= 1 && p <= 9 && p % 3 != 1,
                             p >= 1 && p <= 9 && p % 3 != 0, p >= 1 && p <= 6};
    constexpr int kStep[4] = {-3, -1, 1, 3};
    for (int d = 0; d < 4; ++d) {
        if (!allowed[d]) continue;
        scratch.assign(s);
        const std::int64_t q = p + kStep[d];
        // A partner cell past the end of the string leaves it as it is (PSwap's rule).
        if (q <= static_cast<std::int64_t>(s.size())) {
            std::swap(scratch[static_cast<std::size_t>(p - 1)],
                      scratch[static_cast<std::size_t>(q - 1)]);
        }
        f(d, scratch);
    }
}

bool oneMoveApart(const std::string& from, const std::string& to, std::string& scratch) {
    bool found = false;
    forEachMove(from, scratch, [&](int, const std::string& next) { found = found || next == to; });
    return found;
}

// For a start that is an arrangement of "012345678": whether the goal can be reached. The
// blank's moves keep the parity of the tiles' order read row by row without the blank.
bool solvable(const std::string& s) {
    int inversions = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        for (std::size_t j = i + 1; j < s.size(); ++j) {
            if (s[i] != '0' && s[j] != '0' && s[i] > s[j]) ++inversions;
        }
    }
    return inversions % 2 == 0;
}

std::string checkMoves(const std::string& s, std::int32_t p1, std::int32_t p2) {
    if (BfsSolver::PSwap(s, p1, p2) != swapped(s, p1, p2)) return "PSwap";
    std::array<std::string, 4> want;
    std::string scratch;
    forEachMove(s, scratch, [&](int d, const std::string& next) { want[d] = next; });
    const std::array<std::string, 4> got = {BfsSolver::GetMapUp(s), BfsSolver::GetMapLeft(s),
                                            BfsSolver::GetMapRight(s), BfsSolver::GetMapDown(s)};
    const char* names[4] = {"GetMapUp", "GetMapLeft", "GetMapRight", "GetMapDown"};
    for (int d = 0; d < 4; ++d) {
        if (got[d] != want[d]) return names[d];
    }
    return {};
}

std::string checkSearch(const std::string& start) {
    BfsSolver solver;
    int finished = 0;
    solver.OnFinished = [&finished] { ++finished; };
    solver.Reset(start);
    const bool found = solver.FindAnswer();
    if (finished != 1) return "OnFinished not called exactly once";
    const auto& list = solver.MapList;
    if (list.empty() || list[0].Map != start || list[0].Parent != 0)
        return "MapList[0] is not the start";

    // Every later entry: one move from an earlier entry, never the goal, in breadth-first order.
    std::string scratch;
    std::vector<int> depth(list.size(), 0);
    for (std::size_t i = 1; i < list.size(); ++i) {
        const auto& node = list[i];
        if (node.Parent < 0 || static_cast<std::size_t>(node.Parent) >= i) {
            return "entry " + std::to_string(i) + " comes before its parent";
        }
        if (!oneMoveApart(list[static_cast<std::size_t>(node.Parent)].Map, node.Map, scratch)) {
            return "entry " + std::to_string(i) + " is not one move from its parent";
        }
        if (node.Map == BfsSolver::kGoal) return "the goal was stored";
        depth[i] = depth[static_cast<std::size_t>(node.Parent)] + 1;
        if (depth[i] < depth[i - 1]) return "entries out of breadth-first order";
    }

    // Searches of every size are checked above; the set-based checks below cost most of a run,
    // so the biggest searches (whole classes of 181440) get the count check instead.
    constexpr std::size_t kWholeClass = 181440;
    const bool distinctNine = [&] {
        if (start.size() < 9 || start.substr(0, 9).find('0') == std::string::npos) return false;
        std::string nine = start.substr(0, 9);
        std::sort(nine.begin(), nine.end());
        return std::adjacent_find(nine.begin(), nine.end()) == nine.end();
    }();
    if (distinctNine && !found && list.size() != kWholeClass) {
        return "a search that failed stored " + std::to_string(list.size()) + " positions";
    }
    if (list.size() <= 20000) {
        std::unordered_set<std::string_view> index;
        for (const auto& node : list) {
            if (!index.insert(node.Map).second) return "a position is stored twice";
            if (!solver.IsExist(node.Map)) return "IsExist misses a stored position";
        }
        // Nodes expanded without reaching the goal generated every one of their moves.
        const std::size_t expanded =
            found ? static_cast<std::size_t>(solver.AnswerPath.front()) : list.size();
        for (std::size_t i = 0; i < expanded && i < list.size(); ++i) {
            std::string failure;
            forEachMove(list[i].Map, scratch, [&](int, const std::string& next) {
                if (next == BfsSolver::kGoal) failure = "a move to the goal was passed over";
                if (index.count(next) == 0) failure = "a move was never stored";
            });
            if (!failure.empty()) return failure;
        }
    }
    const bool isArrangement = [&] {
        std::string sorted = start;
        std::sort(sorted.begin(), sorted.end());
        return sorted == "012345678";
    }();
    if (isArrangement && found != solvable(start)) {
        return found ? "found a way to an unreachable goal" : "missed a reachable goal";
    }
    if (!isArrangement && found) return "reached the goal from a start that holds other tiles";

    if (found) {
        const auto& path = solver.AnswerPath;
        if (path.empty() || path.back() != 0) return "AnswerPath does not end with 0";
        for (const std::int32_t k : path) {
            if (k < 0 || static_cast<std::size_t>(k) >= list.size())
                return "AnswerPath leaves MapList";
        }
        if (!oneMoveApart(list[static_cast<std::size_t>(path.front())].Map,
                          std::string(BfsSolver::kGoal), scratch)) {
            return "AnswerPath does not start one move before the goal";
        }
        for (std::size_t k = 0; k + 1 < path.size(); ++k) {
            if (list[static_cast<std::size_t>(path[k])].Parent != path[k + 1]) {
                return "AnswerPath is not a chain of parents";
            }
        }
        // Found while expanding the start, the walk back to it is still taken once: {0, 0}.
        const int want = path.front() == 0 ? 2 : depth[static_cast<std::size_t>(path.front())] + 1;
        if (static_cast<int>(path.size()) != want) return "AnswerPath length";
    }

    // Searching again without a Reset repeats the outcome (kept to small searches: the big ones
    // would only double the time).
    if (list.size() <= 4096) {
        const auto firstPath = solver.AnswerPath;
        const std::size_t firstSize = list.size();
        if (solver.FindAnswer() != found) return "a second search disagrees";
        if (found && solver.AnswerPath != firstPath) return "a second search found another path";
        if (solver.MapList.size() != firstSize) return "a second search stored more positions";
    }
    return {};
}

// MapList seeded by hand beyond the start, with parents anywhere (also outside the list): the
// search must stay inside MapList and still end AnswerPath with 0.
std::string checkSeeded(const std::string& start, const std::uint8_t* data, std::size_t size) {
    BfsSolver solver;
    solver.Reset(start);
    for (std::size_t i = 0; i + 1 < size && i < 6; i += 2) {
        const std::int32_t parent = static_cast<std::int8_t>(data[i]);
        std::string map = start;
        if (!map.empty()) map[data[i + 1] % map.size()] = static_cast<char>('0' + data[i + 1] % 9);
        solver.MapList.push_back({parent, map});
    }
    const std::size_t seeded = solver.MapList.size();
    if (solver.FindAnswer()) {
        const auto& path = solver.AnswerPath;
        if (path.empty() || path.back() != 0) return "seeded: AnswerPath does not end with 0";
        for (const std::int32_t k : path) {
            if (k < 0 || static_cast<std::size_t>(k) >= solver.MapList.size()) {
                return "seeded: AnswerPath leaves MapList";
            }
        }
    }
    for (std::size_t i = seeded; i < solver.MapList.size(); ++i) {
        const std::int32_t parent = solver.MapList[i].Parent;
        if (parent < 0 || static_cast<std::size_t>(parent) >= i)
            return "seeded: parent after child";
    }
    return {};
}

}  // namespace

std::string solver(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return {};
    const std::int32_t p1 = positionFor(data[0]), p2 = positionFor(data[1]);
    const std::string s(reinterpret_cast<const char*>(data) + 3, size - 3);
    std::string failure = checkMoves(s, p1, p2);
    if (!failure.empty()) return failure + " on a " + std::to_string(s.size()) + "-byte string";
    // The third byte picks how much of the string is searched, up to 24 characters, mostly up
    // to 9: short starts search in a blink, while one of 16 or more characters (past the
    // short-string buffer) can take seconds under the sanitizers.
    const std::size_t length = data[2] < 200 ? data[2] % 10u : 10u + (data[2] - 200u) % 15u;
    const std::string start = s.substr(0, length);
    failure = data[0] % 8 == 7 ? checkSeeded(start, data + 3, size - 3) : checkSearch(start);
    return failure.empty() ? failure : failure + " (start \"" + start + "\")";
}

}  // namespace fuzz_checks
