// The main window's keys: the arrows play as clicks do, H marks the tile that starts a shortest
// solution. Distances are measured by the tests' own breadth-first walk, not by the solver.
#include "game/app_info.h"
#include "support/core_test_support.h"

#include <utility>

namespace {

class Keys : public Form1Test {
  protected:
    // A window playing `dealt` on its board.
    std::unique_ptr<TestForm> playing(const board::Map& dealt, int gameType = 33) {
        auto f = windowDealing(dealt);
        if (gameType == board::kGame44) f->mnuG44_Click();
        f->Command1_Click();
        return f;
    }
};

// 3 x 3 boards: the first 4 x 4 search builds the solver's tables, seconds that the solver's own
// tests pay for; both sizes share every line of the hint's rule.
class Hints : public Keys, public ::testing::WithParamInterface<int> {};

TEST_P(Hints, MarkATileWhoseMoveStartsAShortestSolutionAndCountNothing) {
    const board::Map dealt = dealableNearSolved(33, GetParam(), GetParam());
    ASSERT_FALSE(dealt.empty());
    auto f = playing(dealt);
    f->Form_KeyDown(keys::kH);
    ASSERT_TRUE(f->runSearch());
    const int cell = f->HintCell();
    ASSERT_GE(cell, 0);
    EXPECT_EQ(f->TileMap(), dealt);
    EXPECT_EQ(f->LngStep, 0);
    EXPECT_TRUE(f->timerRunning);

    const std::size_t before = walkHome(dealt, 33).size();
    f->PicG1_Click(cell);
    ASSERT_EQ(f->LngStep, 1) << "the marked tile is beside the blank";
    EXPECT_EQ(walkHome(f->TileMap(), 33).size(), before - 1);
    EXPECT_EQ(f->HintCell(), -1) << "the move takes the mark away";
}

INSTANTIATE_TEST_SUITE_P(Distances, Hints, ::testing::Values(4, 8, 14, 20));

TEST_F(Keys, TheMarkGoesAtADealASwitchAndAGiveUp) {
    const board::Map dealt = dealableNearSolved(33, 10, 8);
    ASSERT_FALSE(dealt.empty());
    const std::vector<std::pair<const char*, std::function<void(TestForm&)>>> events{
        {"deal", [](TestForm& f) { f.Command1_Click(); }},
        {"switch", [](TestForm& f) { f.mnuG44_Click(); }},
        {"give-up",
         [this](TestForm& f) {
             answers.push_back(msgbox::kYes);
             f.mnuReset_Click();
         }},
    };
    for (const auto& [name, event] : events) {
        auto f = playing(dealt);
        f->Form_KeyDown(keys::kH);
        ASSERT_TRUE(f->runSearch());
        ASSERT_GE(f->HintCell(), 0);
        event(*f);
        EXPECT_EQ(f->HintCell(), -1) << name;
    }
}

// The answer of a search the player overtook with a move is for a board no longer in play.
TEST_F(Keys, AMoveCancelsTheSearchAndItsAnswerIsDropped) {
    const board::Map dealt = dealableNearSolved(33, 16, 11);
    ASSERT_FALSE(dealt.empty());
    auto f = playing(dealt);
    f->Form_KeyDown(keys::kH);
    ASSERT_EQ(f->searches.size(), 1u);
    const auto cancel = f->searches.front().cancel;
    f->PicG1_Click(board::neighbours(33, f->BlankCell()).front());
    EXPECT_TRUE(cancel->load());
    f->runSearch();
    EXPECT_EQ(f->HintCell(), -1);
}

TEST_F(Keys, AnUnsolvableBoardGetsTheSolversBoxAndNoSearch) {
    for (const int gameType : {33, 44}) {
        board::Map target = solved(gameType);  // two tiles swapped: out of reach of home
        const int last = board::lastTile(gameType);
        std::swap(target[last - 1], target[last - 2]);
        auto f = playing(nearestDealable(target, gameType), gameType);
        boxes.clear();
        f->Form_KeyDown(keys::kH);
        EXPECT_TRUE(f->searches.empty());
        ASSERT_EQ(boxes.size(), 1u) << gameType;
        EXPECT_EQ(boxes[0].prompt, "问题无解！");
        EXPECT_EQ(boxes[0].style, msgbox::kInformation);
        EXPECT_EQ(boxes[0].title, kAppTitle);
    }
}

TEST_F(Keys, OutsideAGameNoKeyDoesAnything) {
    auto won = windowAfterAWin();
    auto idle = window();
    boxes.clear();
    for (TestForm* f : {won.get(), idle.get()}) {
        const board::Map before = f->TileMap();
        for (const int key : {keys::kH, keys::kLeft, keys::kUp, keys::kRight, keys::kDown}) {
            f->Form_KeyDown(key);
        }
        EXPECT_TRUE(f->searches.empty());
        EXPECT_EQ(f->TileMap(), before);
    }
    EXPECT_TRUE(boxes.empty());
}

struct ArrowCase {
    int gameType;
    int blank;
    int key;
    int slides;  // the cell whose tile slides into the blank; -1 when none
};

class Arrows : public Keys, public ::testing::WithParamInterface<ArrowCase> {};

// An arrow does what a click on the tile it slides does, in a twin window dealt the same.
TEST_P(Arrows, SlideTheTileOnTheOppositeSideOfTheBlankAsItsClickDoes) {
    const ArrowCase& c = GetParam();
    const board::Map dealt = dealtWithBlankAt(c.gameType, c.blank, 5);
    ASSERT_FALSE(dealt.empty());
    auto byKey = playing(dealt, c.gameType);
    auto byClick = playing(dealt, c.gameType);
    byKey->Form_KeyDown(c.key);
    if (c.slides >= 0) {
        if (c.gameType == 44) byClick->PicG2_Click(c.slides);
        if (c.gameType == 33) byClick->PicG1_Click(c.slides);
    }
    EXPECT_EQ(byKey->TileMap(), byClick->TileMap());
    EXPECT_EQ(byKey->LngStep, c.slides >= 0 ? 1 : 0);
    EXPECT_TRUE(boardShows(*byKey, byClick->TileMap(), byKey->PicType));
}

INSTANTIATE_TEST_SUITE_P(
    Boards, Arrows,
    ::testing::Values(ArrowCase{33, 4, keys::kRight, 3}, ArrowCase{33, 4, keys::kLeft, 5},
                      ArrowCase{33, 4, keys::kDown, 1}, ArrowCase{33, 4, keys::kUp, 7},
                      ArrowCase{33, 3, keys::kRight, -1},  // nothing on the blank's left
                      ArrowCase{33, 5, keys::kLeft, -1}, ArrowCase{33, 1, keys::kDown, -1},
                      ArrowCase{33, 7, keys::kUp, -1}, ArrowCase{33, 4, 65, -1},  // 'A'
                      ArrowCase{44, 5, keys::kRight, 4}, ArrowCase{44, 5, keys::kUp, 9},
                      ArrowCase{44, 4, keys::kRight, -1},  // cell 3 ends the row above
                      ArrowCase{44, 11, keys::kLeft, -1}, ArrowCase{44, 15, keys::kDown, 11}));

// While a box or a modal window of the rules is open, the keys are theirs.
TEST_F(Keys, NoKeyActsWhileABoxOrModalWindowIsOpen) {
    const board::Map dealt = dealtWithBlankAt(33, 4, 7);
    ASSERT_FALSE(dealt.empty());
    auto f = playing(dealt);
    int pressed = 0;
    auto pressAll = [&] {
        for (const int key : {keys::kLeft, keys::kUp, keys::kRight, keys::kDown, keys::kH}) {
            f->Form_KeyDown(key);
        }
        ++pressed;
    };
    onBox = [&](const RecordedBox&) { pressAll(); };
    onModal = [&](ModalWindow&) { pressAll(); };
    f->mnuReset_Click();  // the give-up question, answered No
    f->mnuHero_Click();
    ASSERT_EQ(pressed, 2);
    EXPECT_EQ(f->TileMap(), dealt);
    EXPECT_TRUE(f->searches.empty());
    f->Form_KeyDown(keys::kRight);  // closed again, they act
    EXPECT_EQ(f->LngStep, 1);
}

}  // namespace
