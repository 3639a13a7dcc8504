// A long random session through the main window's rules: deals, clicks anywhere on either
// board, clock ticks in front and behind, give-ups, board switches, picture choices, the hall of
// fame, the solver hand-off and restarts. Menu entries are chosen as a player can: only when
// they and the menus above them are enabled. After every event the window's state is compared
// with a model of the rules the test keeps itself. Reproducible: the seed is printed,
// TESSLE_SESSION_SEED picks another one and TESSLE_SESSION_EVENTS makes a longer soak.
#include "game/app_info.h"
#include "settings/frm_option.h"
#include "solver/frm_auto_best.h"
#include "solver/maker_site.h"
#include "support/core_test_support.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kNoRecord = 99999;

unsigned envOr(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

// The deal as the rules describe it: one draw per n from the last tile down to 0, k = n * r
// rounded down, the tile at k taken and the last remaining one put in its place.
board::Map modelDeal(int gameType, const std::vector<float>& draws) {
    const int last = board::lastTile(gameType);
    std::vector<std::int16_t> remaining(last + 1);
    for (int i = 0; i <= last; ++i) remaining[i] = static_cast<std::int16_t>(i);
    board::Map map(last + 1);
    for (int n = last; n >= 0; --n) {
        const int k =
            std::min(static_cast<int>(static_cast<float>(n) * draws[last - n]), std::max(n - 1, 0));
        map[last - n] = remaining[k];
        remaining[k] = remaining[n];
    }
    return map;
}

// The position as the solver takes it: "0" for the blank (tile 8), digit t + 1 for tile t.
std::string modelState(const board::Map& map) {
    std::string s;
    for (const std::int16_t t : map) s += t == 8 ? '0' : static_cast<char>('1' + t);
    return s;
}

std::int32_t recordOf(std::int32_t stored) {
    return stored >= 1 && stored <= kNoRecord ? stored : kNoRecord;
}

// Everything the test expects of the game, kept by rules alone.
struct Model {
    int gameType = 33;
    int picture = 1;
    board::Map tiles;  // empty until the first deal
    int blank = 0;
    bool playing = false, won = false, champion = false, answerEnabled = false;
    bool recordSet = false;
    bool foreground = true;
    int steps = 0, time = 0;
    int min33 = kNoRecord, min44 = kNoRecord;
    // What the store holds; 0 for nothing.
    std::int32_t storedPicture = 0, storedMin33 = 0, storedMin44 = 0;
    // Cells to click, the next one last, that lead back to the solved board.
    std::vector<int> route;

    board::Map shown() const { return playing ? tiles : solved(gameType); }
    int last() const { return board::lastTile(gameType); }

    void start() {  // a window opening on the store's values
        gameType = 33;
        picture = storedPicture >= 1 && storedPicture <= 4 ? storedPicture : 1;
        min33 = recordOf(storedMin33);
        min44 = recordOf(storedMin44);
        tiles.clear();
        blank = 0;
        playing = recordSet = false;
        route.clear();
        gameInit();
    }
    void gameInit() {
        steps = time = 0;
        champion = won = false;
        answerEnabled = playing;
    }
    void deal(const board::Map& map) {
        gameInit();
        tiles = map;
        blank = static_cast<int>(std::find(map.begin(), map.end(), last()) - map.begin());
        playing = answerEnabled = true;
        route.clear();
    }
    // A click on cell `cell` of the board of `board`: returns whether it finished the game.
    bool click(int board, int cell) {
        if (board != gameType || !playing) return false;
        for (const int n : board::neighbours(gameType, cell)) {
            if (n != blank) continue;
            if (!route.empty() && route.back() == cell) {
                route.pop_back();
            } else {
                route.push_back(blank);
            }
            tiles[blank] = tiles[cell];
            tiles[cell] = static_cast<std::int16_t>(last());
            blank = cell;
            ++steps;
            break;
        }
        if (!board::isComplete(tiles, gameType)) return false;
        playing = false;
        won = true;
        int& record = gameType == 44 ? min44 : min33;
        if (steps < record) {
            record = steps;
            champion = recordSet = true;
            close();  // a record is stored as the close stores it, the moment it is set
        }
        return true;
    }
    void switchBoard(int g) {
        gameType = g;
        if (g == 33 && picture == 5) picture = 1;
        if (g == 44 && picture == 1) picture = 5;
    }
    void choosePicture(int index) {
        picture = index + 1;
        if (gameType == 44 && picture == 1) {
            picture = 5;
            storedPicture = 1;
        } else {
            storedPicture = picture;
        }
        gameInit();
    }
    void close() {
        if (!recordSet) return;
        storedMin33 = min33;
        storedMin44 = min44;
    }
};

struct Expected {
    std::string prompt;  // empty: any prompt starting with `prefix`
    std::string prefix;
    std::string title;
};

// Chooses a menu entry as the player can: through the menu bar's table, and only when the entry
// and every menu above it are enabled. Returns whether its command ran.
bool choose(Form1& f, MenuEntry Form1::*entry) {
    const auto& bar = form1_layout::kMenuBar;
    const auto find = [&](auto match) { return std::find_if(bar.begin(), bar.end(), match); };
    auto item = find([&](const form1_layout::MenuItem& i) { return i.entry == entry; });
    if (item == bar.end() || !item->command) return false;
    const auto command = item->command;
    for (;;) {
        if (!(f.*(item->entry)).Enabled) return false;
        if (item->parent == 0) break;
        const int parent = item->parent;
        item = find([&](const form1_layout::MenuItem& i) { return i.id == parent; });
        if (item == bar.end()) return false;
    }
    (f.*command)();
    return true;
}

// A position near the solved board that the deal can give, and the way home from it.
struct NearDeal {
    board::Map map;
    std::vector<float> draws;
    std::vector<int> route;  // cells to click, the next one last
};

class RandomSession : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        seed_ = envOr("TESSLE_SESSION_SEED", 20240611);
        events_ = envOr("TESSLE_SESSION_EVENTS", 4000);
        rng_.seed(seed_);
        std::cout << "random session: seed " << seed_ << " (TESSLE_SESSION_SEED), " << events_
                  << " events (TESSLE_SESSION_EVENTS)\n";
    }

    int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return pick(100) < percent; }
    float draw() { return static_cast<float>(rng_() >> 8) * (1.0f / 16777216.0f); }

    void buildPool() {
        for (const int g : {33, 44}) {
            const std::vector<int> lengths =
                g == 33 ? std::vector<int>{2, 4, 6, 8, 10, 12} : std::vector<int>{1, 3, 5, 7};
            for (const int moves : lengths) {
                const board::Map map = dealableNearSolved(g, moves, rng_());
                if (map.empty()) continue;
                NearDeal near{map, *drawsFor(map), {}};
                const std::vector<board::Map> walk = walkHome(map, g);
                for (auto it = walk.rbegin(); it != walk.rend(); ++it) {
                    near.route.push_back(blankOf(*it));
                }
                pool_[g].push_back(near);
            }
        }
    }

    void openWindow() {
        model_.start();
        auto source = [this] {
            if (draws_.empty()) {
                ++unexpectedDraws_;
                return 0.0f;
            }
            const float r = draws_.front();
            draws_.pop_front();
            return r;
        };
        f_ = std::make_unique<TestForm>(*this, source);
        f_->foreground = model_.foreground;
    }

    // ---- The invariants: the first one broken, or "" ----

    std::string mismatch() {
        TestForm& f = *f_;
        const Model& m = model_;
        std::ostringstream out;
        const board::Map& tiles = f.TileMap();
        if (!tiles.empty()) {
            board::Map sorted = tiles;
            std::sort(sorted.begin(), sorted.end());
            if (sorted != solved(tiles.size() == 16 ? 44 : 33)) return "TileMap is no permutation";
            if (tiles[f.BlankCell()] != static_cast<int>(tiles.size()) - 1) {
                return "BlankCell is not where the blank is";
            }
        }
        if (tiles != m.tiles) return "TileMap differs from the model";
        if (!tiles.empty() && f.BlankCell() != m.blank) return "BlankCell differs from the model";
        if (f.GameType != m.gameType) return "GameType";
        if (f.PicType != m.picture) return "PicType";
        if (f.IsPlaying() != m.playing) return "IsPlaying";
        if (f.timerRunning != m.playing || f.Timer1Enabled != m.playing) {
            return "the clock runs when it should not, or not";
        }
        if (f.IsWon != m.won) return "IsWon";
        if (f.IsChampion != m.champion) return "IsChampion";
        if (f.LngStep != m.steps) {
            out << "LngStep " << f.LngStep << ", moves made " << m.steps;
            return out.str();
        }
        if (f.LngTime < 0 || f.LngTime != m.time) {
            out << "LngTime " << f.LngTime << ", ticks counted " << m.time;
            return out.str();
        }
        if (!showsDigits(f.step, std::to_string(m.steps))) return "the move display";
        if (!showsDigits(f.time, std::to_string(m.time))) return "the time display";
        if (f.MinStep33 != m.min33 || f.MinStep44 != m.min44) return "records";
        if (f.MinStep33 > lastMin33_ || f.MinStep44 > lastMin44_) return "a record went up";
        lastMin33_ = f.MinStep33;
        lastMin44_ = f.MinStep44;
        if (!boardShows(f, m.shown(), m.picture)) return "the board does not show its tiles";
        if ((f.Pic33.Left == kOutOfView) != (m.gameType == 44) ||
            (f.Pic44.Left == kOutOfView) != (m.gameType == 33)) {
            return "the wrong board is shown";
        }

        // Menus as the player finds them when opening them.
        f.mnuGame_Click();
        f.mnuOption_Click();
        if (f.mnuReset.Enabled != m.playing) return "结束 enabled state";
        if (f.mnuGameType.Enabled == m.playing) return "难度 enabled state";
        if (f.mnuBG.Enabled == m.playing) return "背景 enabled state";
        if (f.mnuAnswer.Enabled != m.answerEnabled) return "自动求解 enabled state";
        if (!m.playing &&
            (f.mnuG33.Checked != (m.gameType == 33) || f.mnuG44.Checked != (m.gameType == 44))) {
            return "board size ticks";
        }
        for (MenuEntry Form1::*always :
             {&Form1::mnuGame, &Form1::mnuStart, &Form1::mnuHero, &Form1::mnuExit,
              &Form1::mnuOption, &Form1::mnuHelp, &Form1::mnuAbout, &Form1::MnuOstrelle1}) {
            if (!(f.*always).Enabled) return "an entry that is always there got disabled";
        }

        if (storedValue("PTYPE") != m.storedPicture) return "stored picture";
        if (storedValue("MinStep33") != m.storedMin33 ||
            storedValue("MinStep44") != m.storedMin44) {
            return "stored records";
        }
        if (boxes.size() != expected_.size()) {
            out << boxes.size() << " message boxes, expected " << expected_.size();
            if (!boxes.empty()) out << "; last: " << boxes.back().prompt;
            return out.str();
        }
        for (std::size_t i = checkedBoxes_; i < boxes.size(); ++i) {
            const Expected& e = expected_[i];
            const bool promptOk = e.prompt.empty() ? boxes[i].prompt.rfind(e.prefix, 0) == 0
                                                   : boxes[i].prompt == e.prompt;
            if (!promptOk || boxes[i].title != e.title) {
                return "message box '" + boxes[i].prompt + "' / '" + boxes[i].title + "'";
            }
        }
        checkedBoxes_ = boxes.size();
        if (!answers.empty()) return "a scripted answer was never asked for";
        if (!draws_.empty() || unexpectedDraws_ != 0) return "the deal used other draws";
        if (storeErrors != 0) return "a store error";
        if (!modalError_.empty()) return modalError_;
        if (unloadedWindows != unloadsExpected_) return "a modal window closed itself, or not";
        return {};
    }

    void expectBox(const std::string& prompt, const std::string& title) {
        expected_.push_back({prompt, std::string(), title});
    }

    // ---- Events ----

    std::string deal() {
        const int g = model_.gameType;
        board::Map map;
        std::string kind;
        if (!pool_[g].empty() && chance(50)) {
            const NearDeal& near =
                pool_[g][static_cast<std::size_t>(pick(static_cast<int>(pool_[g].size())))];
            draws_.assign(near.draws.begin(), near.draws.end());
            map = near.map;
            model_.deal(map);
            model_.route = near.route;
            kind = "near";
        } else {
            std::vector<float> draws(static_cast<std::size_t>(board::lastTile(g) + 1));
            for (float& r : draws) r = draw();
            draws_.assign(draws.begin(), draws.end());
            map = modelDeal(g, draws);
            model_.deal(map);
            kind = "random";
        }
        if (chance(50)) {
            if (!choose(*f_, &Form1::mnuStart)) modalError_ = "开局 could not be chosen";
            return "deal (" + kind + ", menu)";
        }
        f_->Command1_Click();
        return "deal (" + kind + ")";
    }

    std::string click(bool guided) {
        int board = model_.gameType;
        int cell;
        if (guided && model_.playing && !model_.route.empty()) {
            cell = model_.route.back();
        } else if (guided && model_.playing) {
            const std::vector<int> n = board::neighbours(board, model_.blank);
            cell = n[static_cast<std::size_t>(pick(static_cast<int>(n.size())))];
        } else {
            if (chance(25)) board = board == 33 ? 44 : 33;
            cell = pick(board == 44 ? 16 : 9);
        }
        if (model_.click(board, cell)) {
            ++wins_;
            if (model_.champion) {
                expectBox("真行！你创造了新的纪录", "");
            } else {
                expectBox("不错，继续努力，你会做得更好！", "Congratulation!");
            }
        }
        if (board == 44) {
            f_->PicG2_Click(cell);
        } else {
            f_->PicG1_Click(cell);
        }
        return (guided ? "guided-click " : "click ") + std::to_string(board) + ":" +
               std::to_string(cell);
    }

    std::string tick() {
        if (!f_->timerRunning) return "tick skipped (clock stopped)";
        if (model_.foreground) ++model_.time;
        f_->Timer1_Timer();
        return model_.foreground ? "tick" : "tick behind";
    }

    std::string giveUp() {
        const bool yes = chance(50);
        f_->mnuGame_Click();
        if (model_.playing) {
            answers.push_back(yes ? msgbox::kYes : msgbox::kNo);
            expectBox("真不想玩了？", "放弃？");
            if (yes) {
                model_.playing = false;
                model_.gameInit();
            }
        }
        if (chance(80)) {
            choose(*f_, &Form1::mnuReset);  // not while disabled
        } else {
            f_->mnuReset_Click();  // the handler asks only during a game
        }
        return yes ? "give-up yes" : "give-up no";
    }

    std::string switchBoard() {
        const int g = chance(50) ? 33 : 44;
        f_->mnuOption_Click();
        // The size entries sit in a submenu that cannot open while it is disabled.
        const bool chosen = choose(*f_, g == 33 ? &Form1::mnuG33 : &Form1::mnuG44);
        if (chosen == model_.playing) modalError_ = "the board size could be chosen during a game";
        if (!chosen) return "board (menu disabled)";
        model_.switchBoard(g);
        return "board " + std::to_string(g);
    }

    std::string choosePicture() {
        const int index = pick(5);  // 4: closed without a choice
        f_->mnuOption_Click();
        bool opened = false;
        onModal = [&](ModalWindow& w) {
            opened = true;
            auto* o = dynamic_cast<FrmOption*>(&w);
            if (!o || o->Caption != "Backdrop" || o->PicOption.Left != 0 ||
                o->PicAbout.Left != kOutOfView || o->ImgBG != std::array<int, 4>{1, 2, 3, 4}) {
                modalError_ = "the picture window is not showing the pictures";
                return;
            }
            if (index == 4) return;  // the close box runs no handler
            ++unloadsExpected_;
            o->ImgBG_Click(static_cast<std::int16_t>(index));
        };
        if (!model_.playing && index < 4) model_.choosePicture(index);
        choose(*f_, &Form1::mnuBG);
        onModal = nullptr;
        if (opened == model_.playing) modalError_ = "the picture window opened during a game";
        return "picture " + std::to_string(index + 1);
    }

    std::string hallOfFame(bool about) {
        bool opened = false;
        onModal = [&](ModalWindow& w) {
            opened = true;
            auto* o = dynamic_cast<FrmOption*>(&w);
            const std::string want33 = "3 X 3 共移动：" + std::to_string(model_.min33);
            const std::string want44 = "4 X 4 共移动：" + std::to_string(model_.min44);
            if (!o || o->PicAbout.Left != 0 || o->PicOption.Left != kOutOfView ||
                o->Lbl33Champion != want33 || o->Lbl44Champion != want44) {
                modalError_ = "the hall of fame shows other records";
                return;
            }
            ++unloadsExpected_;
            o->CmdOK2_Click();
        };
        choose(*f_, about ? &Form1::mnuAbout : &Form1::mnuHero);
        if (!opened) modalError_ = "the hall of fame did not open";
        onModal = nullptr;
        return about ? "about" : "hall-of-fame";
    }

    std::string solver() {
        if (!model_.answerEnabled) {
            if (choose(*f_, &Form1::mnuAnswer)) modalError_ = "自动求解 could be chosen";
            return "solver (disabled)";
        }
        const std::string title = kAppTitle;
        const std::string state = modelState(model_.tiles);
        bool opened = false;
        onModal = [&](ModalWindow& w) {
            opened = true;
            auto* a = dynamic_cast<frmAutoBest*>(&w);
            if (!a || a->STATE != state ||
                a->WebBrowser1.LocationURL != maker_site::loadAddress(state) || !a->CmdDo.Enabled ||
                a->CmdPrior.Enabled || a->CmdNext.Enabled) {
                modalError_ = "the solver window did not load ready on " + state;
                return;
            }
            answers.push_back(msgbox::kNo);
            a->CmdDo_Click();
            if (a->solver().MapList.size() != 1 || !a->CmdDo.Enabled) {
                modalError_ = "the solver searched although the answer was No";
            }
            // The close box: no handler runs.
        };
        const bool refused = model_.gameType != 33 || model_.tiles.size() != 9;
        if (refused) {
            expectBox("4X4模式下暂不支持此功能！", title);
        } else if (state == "123456870") {
            expectBox("问题无解！", title);
        } else {
            expected_.push_back({std::string(), "自动求解过程要占用", title});
        }
        choose(*f_, &Form1::mnuAnswer);
        onModal = nullptr;
        const bool shouldOpen = !refused && state != "123456870";
        if (opened != shouldOpen)
            modalError_ = "the solver window opened or not, against the rules";
        return refused ? "solver (refused)" : "solver (answered No)";
    }

    std::string restart() {
        model_.close();
        if (chance(50)) {
            choose(*f_, &Form1::mnuExit);
            if (f_->unloads != 1) modalError_ = "退出游戏 did not close the window";
        } else {
            f_->Form_Unload();  // the window's close box
        }
        f_.reset();
        openWindow();
        return "restart";
    }

    std::string event() {
        const int roll = pick(100);
        if (roll < 3) return deal();
        if (roll < 33) return click(true);
        if (roll < 58) return click(false);
        if (roll < 72) return tick();
        if (roll < 75) {
            model_.foreground = !model_.foreground;
            f_->foreground = model_.foreground;
            return model_.foreground ? "focus front" : "focus back";
        }
        if (roll < 80) return giveUp();
        if (roll < 85) return switchBoard();
        if (roll < 89) return choosePicture();
        if (roll < 92) return hallOfFame(roll < 91);
        if (roll < 99) return solver();
        return restart();
    }

    unsigned seed_ = 0, events_ = 0;
    std::mt19937 rng_;
    Model model_;
    std::unique_ptr<TestForm> f_;
    std::map<int, std::vector<NearDeal>> pool_;
    std::deque<float> draws_;
    int unexpectedDraws_ = 0;
    std::vector<Expected> expected_;
    std::size_t checkedBoxes_ = 0;
    std::string modalError_;
    int lastMin33_ = kNoRecord, lastMin44_ = kNoRecord;
    int unloadsExpected_ = 0;
    int wins_ = 0;
};

TEST_F(RandomSession, EveryEventKeepsTheWindowAndTheModelInStep) {
    // Records and a picture already stored, as on a machine that has seen games.
    model_.storedMin33 = 20 + pick(40);
    model_.storedMin44 = 50 + pick(100);
    model_.storedPicture = pick(6);  // 0: never chosen, 5: not a choice
    storeValue("MinStep33", model_.storedMin33);
    storeValue("MinStep44", model_.storedMin44);
    if (model_.storedPicture != 0) storeValue("PType", model_.storedPicture);
    lastMin33_ = recordOf(model_.storedMin33);
    lastMin44_ = recordOf(model_.storedMin44);
    buildPool();
    openWindow();
    ASSERT_EQ(mismatch(), "") << "at start-up";

    std::deque<std::string> recent;
    std::map<std::string, int> counts;
    for (unsigned i = 0; i < events_; ++i) {
        const std::string what = event();
        counts[what.substr(0, what.find(' '))]++;
        recent.push_back(std::to_string(i) + ": " + what);
        if (recent.size() > 12) recent.pop_front();
        const std::string broken = mismatch();
        if (!broken.empty()) {
            std::ostringstream log;
            for (const std::string& line : recent) log << "\n  " << line;
            FAIL() << "after event " << i << " (seed " << seed_ << "): " << broken
                   << "\nlast events:" << log.str();
        }
    }
    model_.close();
    f_->Form_Unload();
    EXPECT_EQ(storedValue("MinStep33"), model_.storedMin33);
    EXPECT_EQ(storedValue("MinStep44"), model_.storedMin44);

    std::cout << "random session: " << events_ << " events, " << wins_ << " games won, records "
              << model_.min33 << " / " << model_.min44 << "; events by kind:";
    for (const auto& [kind, n] : counts) std::cout << " " << kind << " " << n;
    std::cout << "\n";
    RecordProperty("seed", static_cast<int>(seed_));
    RecordProperty("events", static_cast<int>(events_));
    RecordProperty("wins", wins_);
    // A session that never finishes a game has not tried the records.
    EXPECT_GT(wins_, 0);
}

}  // namespace
