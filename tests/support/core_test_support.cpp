#include "support/core_test_support.h"

#include "settings/frm_option.h"
#include "solver/frm_auto_best.h"

#include "lcd/cls_lcd.h"

#ifdef _WIN32
#include "game/app_info.h"
#include "settings/settings_store_registry.h"
#endif
#ifdef __EMSCRIPTEN__
#include "support/web_storage.h"
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

namespace {

// On Windows the store is the registry, one for every test program: each test starts and ends
// with no stored value, in the machine key and in the player's VirtualStore copy.
void clearRegistryStore() {
#ifdef _WIN32
    for (const store::registry::Key& key :
         {store::registry::machineKey(kAppKey), store::registry::playersCopy(kAppKey)}) {
        RegDeleteKeyExA(key.root, key.path.c_str(), key.view, 0);
    }
#endif
}

}  // namespace

TestForm::TestForm(ScriptedDesktop& desktop, board::Random random)
    : Form1(*this, std::move(random)), desktop_(desktop) {
    Form_Load();
}

bool TestForm::runSearch() {
    if (searches.empty()) return false;
    Search search = std::move(searches.front());
    searches.pop_front();
    const optimal::Answer answer = optimal::solve(search.position, search.cancel.get());
    forward([&] { search.found(answer); });
    return true;
}

void TestForm::ShowModal(FrmOption& window) {
    desktop_.show(window);
}

void TestForm::ShowModal(frmAutoBest& window) {
    desktop_.show(window);
}

void CoreTest::SetUp() {
    // A folder of its own for every test, also when several test programs run at once.
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && storeDir.empty(); ++attempt) {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("tessle-core-" + std::to_string(seed()) + std::to_string(seed()));
        if (std::filesystem::create_directory(dir)) storeDir = dir.string();
    }
    ASSERT_FALSE(storeDir.empty());
    store::setDirectory(storeDir);
    // Records a failed save keeps for later stay in the test's folder, not the user's.
    store::setPendingDirectory(storeDir + "/pending");
    clearRegistryStore();
#ifdef __EMSCRIPTEN__
    web_storage::clear();
#endif
}

void CoreTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(storeDir, ignored);
    clearRegistryStore();
#ifdef __EMSCRIPTEN__
    web_storage::clear();
#endif
}

void CoreTest::clearStore() {
#ifdef __EMSCRIPTEN__
    web_storage::clear();
#else
    std::filesystem::remove_all(storeDir + "/KORVANEL");
#endif
}

void CoreTest::allowStoreWrites() {
#ifdef __EMSCRIPTEN__
    web_storage::setFull(false);
#endif
    clearStore();
}

void CoreTest::failStoreWrites() {
#ifdef __EMSCRIPTEN__
    web_storage::setFull(true);
#else
    // A file where the store's folder should be: no write can succeed, also as root. What the
    // store held goes: a folder there would leave the writes working.
    std::filesystem::remove_all(storeDir + "/KORVANEL");
    std::ofstream(storeDir + "/KORVANEL").put('x');
#endif
}

void CoreTest::storeValue(const std::string& name, std::int32_t value) {
    SaveRegValue("Tessle", name, value);
}

std::int32_t CoreTest::storedValue(const std::string& name) {
    return GetRegValue("Tessle", name);
}

std::optional<std::vector<float>> drawsFor(const board::Map& map) {
    const int last = static_cast<int>(map.size()) - 1;
    std::vector<int> remaining(last + 1);
    for (int i = 0; i <= last; ++i) remaining[i] = i;
    std::vector<float> draws;
    for (int n = last; n >= 0; --n) {
        const int want = map[last - n];
        const auto it = std::find(remaining.begin(), remaining.begin() + std::max(n, 1), want);
        const int k = static_cast<int>(it - remaining.begin());
        if (k >= std::max(n, 1)) return std::nullopt;
        draws.push_back(n == 0 ? 0.0f : (static_cast<float>(k) + 0.5f) / static_cast<float>(n));
        remaining[k] = remaining[n];
    }
    return draws;
}

board::Random replay(std::vector<float> draws) {
    auto data = std::make_shared<std::vector<float>>(std::move(draws));
    auto next = std::make_shared<std::size_t>(0);
    return [data, next] {
        const float r = (*data)[std::min(*next, data->size() - 1)];
        ++*next;
        return r;
    };
}

board::Map dealableNearSolved(int gameType, int moves, unsigned seed) {
    std::mt19937 engine(seed);
    const int last = board::lastTile(gameType);
    for (int attempt = 0; attempt < 100000; ++attempt) {
        board::Map map(last + 1);
        for (int i = 0; i <= last; ++i) map[i] = static_cast<std::int16_t>(i);
        int blank = last, previous = -1;
        for (int m = 0; m < moves; ++m) {
            std::vector<int> options;
            for (const int c : board::neighbours(gameType, blank)) {
                if (c != previous) options.push_back(c);
            }
            const int next = options[engine() % options.size()];
            std::swap(map[blank], map[next]);
            previous = blank;
            blank = next;
        }
        if (!board::isComplete(map, gameType) && drawsFor(map)) return map;
    }
    return {};
}

board::Map dealtWithBlankAt(int gameType, int cell, unsigned seed) {
    std::mt19937 engine(seed);
    const board::Random random = [&engine] {
        return static_cast<float>(engine() >> 8) * (1.0f / 16777216.0f);
    };
    for (int attempt = 0; attempt < 10000; ++attempt) {
        board::Map map = board::deal(gameType, random);
        if (blankOf(map) == cell) return map;
    }
    return {};
}

std::unique_ptr<TestForm> Form1Test::windowDealing(const board::Map& map) {
    const auto draws = drawsFor(map);
    EXPECT_TRUE(draws.has_value()) << "the deal never gives this map";
    return window(replay(draws.value_or(std::vector<float>{0.0f})));
}

std::unique_ptr<TestForm> Form1Test::window(board::Random random) {
    if (!random) random = [] { return 0.0f; };
    return std::make_unique<TestForm>(*this, random);
}

std::unique_ptr<TestForm> Form1Test::windowAfterAWin(int* moves) {
    const board::Map dealt = dealableNearSolved(33, 4, 9);
    auto f = windowDealing(dealt);
    f->Command1_Click();
    const std::vector<board::Map> walk = walkHome(dealt, 33);
    playAlong(*f, walk);
    if (moves) *moves = static_cast<int>(walk.size());
    return f;
}

TilePicture Form1Test::slice(const TestForm& f, int picture, int gameType, int t) {
    TestForm& host = const_cast<TestForm&>(f);  // the tile size is asked, never changed
    const int n = board::side(gameType);
    const int w = host.TileInnerWidth(gameType), h = host.TileInnerHeight(gameType);
    return TilePicture{picture, (t % n) * w, (t / n) * h, w, h};
}

bool Form1Test::showsDigits(const RecordingSurface& display, const std::string& text) {
    RecordingSurface probe(display.innerWidth(), display.innerHeight());
    ClsLcd lcd;
    lcd.NewLCD(&probe);
    lcd.ForeColor(255);
    lcd.Caption(text);
    return display.shown() == probe.shown();
}

bool Form1Test::boardShows(const TestForm& f, const board::Map& map, int picture) {
    const int gameType = map.size() == 16 ? 44 : 33;
    const int last = board::lastTile(gameType);
    for (int cell = 0; cell <= last; ++cell) {
        const TilePicture& shown = f.tile(gameType, cell);
        if (map[cell] == last) {
            if (!shown.empty()) return false;
        } else if (shown != slice(f, picture, gameType, map[cell])) {
            return false;
        }
    }
    return true;
}

int blankOf(const board::Map& map) {
    const int last = static_cast<int>(map.size()) - 1;
    return static_cast<int>(std::find(map.begin(), map.end(), last) - map.begin());
}

board::Map solved(int gameType) {
    board::Map map(board::lastTile(gameType) + 1);
    for (std::size_t i = 0; i < map.size(); ++i) map[i] = static_cast<std::int16_t>(i);
    return map;
}

void playAlong(Form1& f, const std::vector<board::Map>& walk) {
    for (const board::Map& next : walk) {
        const int cell = blankOf(next);
        if (f.GameType == 44) {
            f.PicG2_Click(cell);
        } else {
            f.PicG1_Click(cell);
        }
    }
}

std::vector<board::Map> walkHome(const board::Map& map, int gameType) {
    return walkBetween(map, solved(gameType), gameType);
}

board::Map nearestDealable(const board::Map& target, int gameType) {
    std::vector<board::Map> frontier{target};
    std::set<board::Map> seen{target};
    for (std::size_t i = 0; i < frontier.size() && i < 5000; ++i) {
        if (!board::isComplete(frontier[i], gameType) && drawsFor(frontier[i])) return frontier[i];
        const int blank = blankOf(frontier[i]);
        for (const int c : board::neighbours(gameType, blank)) {
            board::Map next = frontier[i];
            std::swap(next[blank], next[c]);
            if (seen.insert(next).second) frontier.push_back(next);
        }
    }
    return {};
}

std::vector<board::Map> walkBetween(const board::Map& from, const board::Map& to, int gameType) {
    std::vector<board::Map> frontier{from};
    std::set<board::Map> seen{from};
    std::vector<int> parent{-1};
    for (std::size_t i = 0; i < frontier.size() && i < 200000; ++i) {
        if (frontier[i] == to) {
            std::vector<board::Map> path;
            for (int j = static_cast<int>(i); parent[j] >= 0; j = parent[j]) {
                path.insert(path.begin(), frontier[j]);
            }
            return path;
        }
        const int blank = blankOf(frontier[i]);
        for (const int c : board::neighbours(gameType, blank)) {
            board::Map next = frontier[i];
            std::swap(next[blank], next[c]);
            if (!seen.insert(next).second) continue;
            frontier.push_back(next);
            parent.push_back(static_cast<int>(i));
        }
    }
    return {};
}
