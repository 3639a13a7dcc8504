#include <gtest/gtest.h>

#if defined(__unix__) && !defined(__EMSCRIPTEN__)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <string>
#include <vector>

#include "solver/bfs_solver.h"
#include "tests/solver/reference_search.h"

namespace {

using Nodes = std::vector<BfsSolver::MapNode>;
using Path = std::vector<int32_t>;

// Exhaustive searches are the slow part of the suite; run each kind once and share the result.
struct Exhaustive {
    BfsSolver solver;
    bool found = true;
    Path path_before;
    int finished = 0;
};

// A successful search, then the unsolvable board on the same solver.
const Exhaustive& UnsolvableAfterSuccess() {
    static const Exhaustive* result = [] {
        auto* r = new Exhaustive;
        r->solver.OnFinished = [r] { ++r->finished; };
        r->solver.Reset("023156478");
        r->solver.FindAnswer();
        r->path_before = r->solver.AnswerPath;
        r->solver.Reset("123456870");
        r->found = r->solver.FindAnswer();
        return r;
    }();
    return *result;
}

TEST(BfsSolverSearch, StartOneMoveFromGoal) {
    BfsSolver solver("123456708");
    EXPECT_TRUE(solver.FindAnswer());
    const Nodes expected = {{0, "123456708"}, {0, "123406758"}, {0, "123456078"}};
    EXPECT_TRUE(solver.MapList == expected);
    EXPECT_EQ(solver.AnswerPath, (Path{0, 0}));
    // Down is not a move from the bottom row; the goal was right.
    EXPECT_EQ(solver.NextMap,
              (std::array<std::string, 4>{"123406758", "123456078", "123456780", ""}));
}

TEST(BfsSolverSearch, FourMoves) {
    BfsSolver solver("023156478");
    ASSERT_TRUE(solver.FindAnswer());
    ASSERT_EQ(solver.AnswerPath.size(), 4u);
    EXPECT_EQ(solver.AnswerPath.back(), 0);
    EXPECT_EQ(reference::ForwardSteps(solver),
              (std::vector<std::string>{"023156478", "123056478", "123456078", "123456708"}));
    ExpectSameAs(solver, true, reference::Search("023156478"));
}

TEST(BfsSolverSearch, SolvedStartIsNotRecognised) {
    BfsSolver solver{std::string(BfsSolver::kGoal)};
    ASSERT_TRUE(solver.FindAnswer());
    ASSERT_GE(solver.MapList.size(), 3u);
    EXPECT_EQ(solver.MapList[1].Map, "123450786");
    EXPECT_EQ(solver.MapList[2].Map, "123456708");
    // Node 1 moving down gives the goal back before node 2 is expanded.
    EXPECT_EQ(solver.AnswerPath, (Path{1, 0}));
    ExpectSameAs(solver, true, reference::Search(std::string(BfsSolver::kGoal)));
}

TEST(BfsSolverSearch, OnFinishedReportsBothOutcomes) {
    int calls = 0;
    BfsSolver solver;
    solver.OnFinished = [&] { ++calls; };
    solver.Reset("123456708");
    EXPECT_TRUE(solver.FindAnswer());
    EXPECT_EQ(calls, 1);
    solver.Reset("12345678");  // no blank: nothing to expand
    EXPECT_FALSE(solver.FindAnswer());
    EXPECT_EQ(calls, 2);
    solver.MapList.clear();
    EXPECT_FALSE(solver.FindAnswer());
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(UnsolvableAfterSuccess().finished, 2);
}

TEST(BfsSolverSearch, UnsolvableBoardIsExhausted) {
    const Exhaustive& r = UnsolvableAfterSuccess();
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.solver.MapList.size(), 181440u);
    EXPECT_EQ(r.solver.MapList[0].Map, "123456870");
    // A failed search keeps the last answer.
    EXPECT_EQ(r.path_before.size(), 4u);
    EXPECT_EQ(r.solver.AnswerPath, r.path_before);
    // The last node expanded is the last one stored.
    const std::string& last = r.solver.MapList.back().Map;
    EXPECT_EQ(r.solver.NextMap, (std::array<std::string, 4>{
                                    BfsSolver::GetMapUp(last), BfsSolver::GetMapLeft(last),
                                    BfsSolver::GetMapRight(last), BfsSolver::GetMapDown(last)}));
    reference::ExpectWellFormed(r.solver.MapList);
}

TEST(BfsSolverSearch, LongStringKeepsItsTail) {
    const std::string start = "12345678010111213141516";
    BfsSolver solver(start);
    EXPECT_FALSE(solver.FindAnswer());
    ASSERT_EQ(solver.MapList.size(), 181440u);
    std::vector<std::string> heads;
    for (const auto& node : solver.MapList) {
        ASSERT_EQ(node.Map.size(), start.size());
        ASSERT_EQ(node.Map.substr(9), start.substr(9));
        heads.push_back(node.Map.substr(0, 9));
    }
    std::sort(heads.begin(), heads.end());
    EXPECT_EQ(std::adjacent_find(heads.begin(), heads.end()), heads.end());
    EXPECT_TRUE(std::is_permutation(heads.front().begin(), heads.front().end(),
                                    std::string("012345678").begin()));
}

// The same board in other bytes, with a tail, must be searched exactly like the digit board:
// entry for entry after relabelling.
TEST(BfsSolverSearch, OtherBytesSearchLikeDigits) {
    const std::string digits = "0123456789";
    const std::string bytes = "0\xe1\xe2\xe3\xe4\xe5\xe6\xe7\xe8";
    auto relabel = [&](const std::string& s) {
        std::string out;
        for (char c : s) out += bytes[digits.find(c)];
        return out + "\x01tail";
    };
    const Exhaustive& digit_run = UnsolvableAfterSuccess();
    BfsSolver solver(relabel("123456870"));
    EXPECT_FALSE(solver.FindAnswer());
    ASSERT_EQ(solver.MapList.size(), digit_run.solver.MapList.size());
    for (size_t i = 0; i < solver.MapList.size(); ++i) {
        const auto& expected = digit_run.solver.MapList[i];
        ASSERT_EQ(solver.MapList[i].Parent, expected.Parent) << i;
        ASSERT_EQ(solver.MapList[i].Map, relabel(expected.Map)) << i;
    }
}

TEST(BfsSolverSearch, IsExistFollowsMapList) {
    BfsSolver solver("023156478");
    EXPECT_TRUE(solver.IsExist("023156478"));
    EXPECT_FALSE(solver.IsExist("123456780"));
    EXPECT_EQ(solver.MapList[0].Map, "023156478");

    ASSERT_TRUE(solver.FindAnswer());
    const Nodes stored = solver.MapList;
    for (const auto& node : stored) EXPECT_TRUE(solver.IsExist(node.Map)) << node.Map;
    // Candidates of every stored node: present exactly when stored.
    for (const auto& node : stored) {
        for (int m = 0; m < 4; ++m) {
            const std::string c = reference::Moved(node.Map, static_cast<reference::Move>(m));
            const bool in_list = std::any_of(stored.begin(), stored.end(),
                                             [&](const auto& n) { return n.Map == c; });
            EXPECT_EQ(solver.IsExist(c), in_list) << c;
        }
    }
    for (const std::string s :
         {"", "0", "123456780", "213456780", "0231564780", "02315647", "02315647\xff"}) {
        EXPECT_FALSE(solver.IsExist(s)) << s;
    }
    EXPECT_EQ(solver.MapList[0].Map, "023156478");

    // Hand edits to MapList are seen too.
    solver.MapList.push_back({0, "extra"});
    EXPECT_TRUE(solver.IsExist("extra"));
    solver.Reset("123456708");
    EXPECT_FALSE(solver.IsExist(stored[1].Map));
    EXPECT_TRUE(solver.IsExist("123456708"));

    BfsSolver empty;
    EXPECT_FALSE(empty.IsExist(""));
}

// A MapList filled by hand searches exactly like the plain algorithm: entries the board index
// cannot describe (other lengths) force the general index, and the goal is still found. A
// search left unreset repeats its outcome.
TEST(BfsSolverSearch, SeededMapList) {
    std::vector<Nodes> seeds = {
        {{0, "023156478"}, {0, "ab0"}},
        {{0, "123456708"}, {0, "0"}, {1, "123456078"}},
        {{0, "12345678"}, {0, "023156478"}},
        // Both parity classes at once, the goal among the seeds: found next to it.
        {{0, "123456870"}, {0, "123456780"}},
    };
    for (const char* start : {"023156478", "123456780", "0ab", "120000000"}) {
        BfsSolver earlier(start);
        earlier.FindAnswer();
        seeds.push_back(earlier.MapList);
    }
    for (const Nodes& seed : seeds) {
        SCOPED_TRACE(seed[0].Map);
        BfsSolver solver;
        solver.MapList = seed;
        const bool found = solver.FindAnswer();
        ExpectSameAs(solver, found, reference::Search(seed));
    }
}

// Parents seeded by hand may form a loop: the walk back from the goal still ends, at the start.
// Searched in a child process with a deadline and little memory, so that an endless walk fails
// the test rather than hangs it.
TEST(BfsSolverSearch, LoopingParentsEndTheAnswer) {
#if defined(__unix__) && !defined(__EMSCRIPTEN__)
    BfsSolver solver;
    solver.MapList = {{0, "012345678"}, {2, "123456708"}, {1, "123450786"}};
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(20);
#if !defined(__SANITIZE_ADDRESS__)
        const rlimit memory{1L << 30, 1L << 30};
        setrlimit(RLIMIT_AS, &memory);
#endif
        bool ended = false;
        try {  // out of memory, say: the child must not go on running tests
            const Path& path = solver.AnswerPath;
            ended = solver.FindAnswer() && !path.empty() && path.front() == 1 && path.back() == 0 &&
                    path.size() <= solver.MapList.size() + 2 &&
                    std::all_of(path.begin(), path.end(), [&](int32_t node) {
                        return node >= 0 && static_cast<size_t>(node) < solver.MapList.size();
                    });
        } catch (...) {
        }
        _exit(ended ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
#else
    GTEST_SKIP() << "needs fork";
#endif
}

// Entries with the same nine board bytes but different bytes after them are different
// positions: both are searched in full, and children keep their parent's tail.
TEST(BfsSolverSearch, SeededEntriesWithDifferentTails) {
    BfsSolver solver;
    solver.MapList = {{0, "123456870x"}, {0, "123456870y"}};
    EXPECT_FALSE(solver.FindAnswer());
    ASSERT_EQ(solver.MapList.size(), 2u * 181440u);
    for (size_t i = 2; i < solver.MapList.size(); ++i) {  // past the two seeds
        const auto& node = solver.MapList[i];
        ASSERT_EQ(node.Map.back(), solver.MapList[static_cast<size_t>(node.Parent)].Map.back())
            << i;
    }
    std::string newest = solver.MapList.back().Map;
    EXPECT_TRUE(solver.IsExist(newest));
    newest.back() = 'z';
    EXPECT_FALSE(solver.IsExist(newest));
}

// Whatever the bytes, the search ends, stays within the string and matches the plain algorithm,
// also on one solver reused across searches of either index kind.
TEST(BfsSolverSearch, AnyStartsOnOneSolverMatchReference) {
    std::vector<std::string> starts = {"",          "0",         "00",        "10",
                                       "012",       "0000",      "12345678",  "000000000",
                                       "001111111", "120000000", "0123",      "abc0",
                                       "023156478", "123456708", "123456780", "023156478"};
    starts.push_back({'\0', '0', '\0'});
    starts.push_back({'\xff', '\xfe', '\xfd', '0', '\x80'});
    starts.push_back("0" + std::string(63, 'a'));
    starts.push_back(std::string(30, 'x') + "0");
    starts.push_back("0" + std::string(200, '0'));
    BfsSolver solver;
    int finished = 0;
    solver.OnFinished = [&] { ++finished; };
    for (const std::string& start : starts) {
        SCOPED_TRACE("start of length " + std::to_string(start.size()) + ": " + start);
        solver.Reset(start);
        const reference::Result expected = reference::Search({{0, start}}, solver.AnswerPath);
        const bool found = solver.FindAnswer();
        ExpectSameAs(solver, found, expected);
    }
    EXPECT_EQ(finished, static_cast<int>(starts.size()));
}

}  // namespace
