#pragma once

#include "game/board.h"
#include "game/form1.h"
#include "platform/picture_box.h"
#include "support/ui_test_support.h"

#include <QImage>

#include <memory>
#include <optional>
#include <string>
#include <vector>

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

class Form1Test : public UiTest {
  protected:
    // A window whose next deal gives `map`.
    std::unique_ptr<Form1> windowDealing(const board::Map& map);
    std::unique_ptr<Form1> window(board::Random random = {});
    // A window whose 3 x 3 game was just won, a few moves after the deal; `moves` gets the count.
    std::unique_ptr<Form1> windowAfterAWin(int* moves = nullptr);

    // Tile t's slice of the picture, as a surface of `gameType` shows it.
    static QImage slice(const Form1& f, int picture, int gameType, int t);
    // What a display shows for `text`, drawn on a surface of the same size.
    static QImage lcdImage(const PictureBox& display, const std::string& text);
    static bool showsDigits(const PictureBox& display, const std::string& text);
    // Every surface of the board shows the image of the tile that stands there.
    static bool boardShows(const Form1& f, const board::Map& map, int picture);
};

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
