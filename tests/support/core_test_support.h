#pragma once

// Shared pieces of the core tests: a front-end double that records what the rules draw, a
// temporary store, message boxes answered from a script, recorded addresses and modal windows
// driven by a callback. No toolkit.

#include "game/board.h"
#include "game/form1.h"
#include "game/seams.h"
#include "settings/settings_store.h"
#include "support/recording_surface.h"
#include "support/scripted_box.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the rules ask of the desktop, answered from a script: boxes (recorded, questions answered
// from a list), addresses (recorded), modal windows (run by a callback in place of their event
// loop). The store's failed writes are counted as their boxes show.
struct ScriptedDesktop : ScriptedBoxes {
    std::vector<std::string> addresses;
    // Runs in place of a modal window's event loop.
    std::function<void(ModalWindow&)> onModal;
    int storeErrors = 0;
    // Modal windows the rules unloaded (OK, a picture chosen).
    int unloadedWindows = 0;

    int box(const std::string& prompt, int style, const std::string& title) {
        if (prompt == kStoreWriteFailed) ++storeErrors;
        return answer(prompt, style, title);
    }
    void show(ModalWindow& window) {
        window.onUnload = [this] { ++unloadedWindows; };
        if (onModal) onModal(window);
        window.onUnload = nullptr;
    }
};

// The main window as the rules see it, on a front-end double: displays as on Linux (53 x 25 and
// 49 x 25 inside), tiles 69 and 51 pixels inside, and the desktop's services from a script.
class TestForm : public Frontend, public Form1 {
  public:
    TestForm(ScriptedDesktop& desktop, board::Random random);

    int MsgBox(const std::string& prompt, int style, const std::string& title) override {
        return desktop_.box(prompt, style, title);
    }
    void ShowModal(FrmOption& window) override;
    void ShowModal(frmAutoBest& window) override;
    void OpenAddress(const std::string& address) override { desktop_.addresses.push_back(address); }
    void LogError(const std::string& text) override { logged.push_back(text); }
    void Refresh() override { ++refreshes; }
    DrawingSurface& PicStep() override { return step; }
    DrawingSurface& PicTime() override { return time; }
    int TileInnerWidth(int gameType) override { return gameType == board::kGame44 ? 51 : 69; }
    int TileInnerHeight(int gameType) override { return TileInnerWidth(gameType); }
    void EnableTimer1(bool enabled) override {
        timerRunning = enabled;
        ++timerChanges;
    }
    bool IsForeground() override { return foreground; }
    void Unload() override {
        ++unloads;
        Form_Unload();  // as closing the window does
    }
    // A hint search waits until the test runs it, so that moves can come in between.
    void SearchHint(const optimal::Position& position, std::shared_ptr<std::atomic<bool>> cancel,
                    std::function<void(const optimal::Answer&)> found) override {
        searches.push_back({position, std::move(cancel), std::move(found)});
    }
    void PrepareHints() override {}
    // Runs the oldest waiting search to its end, as a worker would, and hands its answer back.
    // False when none waits.
    bool runSearch();

    struct Search {
        optimal::Position position;
        std::shared_ptr<std::atomic<bool>> cancel;
        std::function<void(const optimal::Answer&)> found;
    };
    std::deque<Search> searches;

    RecordingSurface step{53, 25};
    RecordingSurface time{49, 25};
    bool timerRunning = false;
    int timerChanges = 0;
    bool foreground = true;
    int unloads = 0;
    int refreshes = 0;
    std::vector<std::string> logged;

  private:
    ScriptedDesktop& desktop_;
};

class CoreTest : public ::testing::Test, public ScriptedDesktop {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string storeDir;

    void storeValue(const std::string& name, std::int32_t value);
    std::int32_t storedValue(const std::string& name);
    // Not on Windows, where the store is the registry: every value forgotten; every later write
    // failing (a full localStorage in the browser).
    void clearStore();
    void failStoreWrites();
    // Undoes failStoreWrites, leaving the store empty.
    void allowStoreWrites();
};

class Form1Test : public CoreTest {
  protected:
    // A window whose next deal gives `map`.
    std::unique_ptr<TestForm> windowDealing(const board::Map& map);
    std::unique_ptr<TestForm> window(board::Random random = {});
    // A window whose 3 x 3 game was just won, a few moves after the deal; `moves` gets the count.
    std::unique_ptr<TestForm> windowAfterAWin(int* moves = nullptr);

    // Tile t of a picture as a surface of `gameType` shows it.
    static TilePicture slice(const TestForm& f, int picture, int gameType, int t);
    // The display shows exactly the digits of `text`, as a display of its size draws them.
    static bool showsDigits(const RecordingSurface& display, const std::string& text);
    // Every surface of the board shows the image of the tile that stands there.
    static bool boardShows(const TestForm& f, const board::Map& map, int picture);
};

// The draws that make the deal produce `map`, or nothing when the deal can never produce it
// (only single cycles are dealt).
std::optional<std::vector<float>> drawsFor(const board::Map& map);

// A generator that replays draws, then repeats the last one.
board::Random replay(std::vector<float> draws);

// A map one of the deal's cycles reaches from the solved board by `moves` random blank moves.
// Empty when no such map turns up. A deal is a single cycle, which fixes the parity of the
// tile permutation: only an even number of moves on 3 x 3, an odd number on 4 x 4, can be dealt.
board::Map dealableNearSolved(int gameType, int moves, unsigned seed);
// A dealt map with the blank in `cell` (never cell 0).
board::Map dealtWithBlankAt(int gameType, int cell, unsigned seed);

// Where the blank stands: the cell to click to reach `map` from a position one move away.
int blankOf(const board::Map& map);
board::Map solved(int gameType);
// The shortest walk from `from` to `to` (maps after each move); for maps a few moves apart.
// Empty when `to` is not reached.
std::vector<board::Map> walkBetween(const board::Map& from, const board::Map& to, int gameType);
std::vector<board::Map> walkHome(const board::Map& map, int gameType);
// A map the deal can give, as few moves from `target` as possible.
board::Map nearestDealable(const board::Map& target, int gameType);
// Clicks along a walk on the board on screen.
void playAlong(Form1& f, const std::vector<board::Map>& walk);
