// The main window's keys: the arrows play as clicks do, H marks the tile that starts a shortest
// solution. Distances are measured by the tests' own breadth-first walk, not by the solver.
#include "game/app_info.h"
#include "support/core_test_support.h"

#include <algorithm>
#include <utility>

namespace {

class Keys : public Form1Test {
  protected:
    // A window playing `dealt` on its board.
    std::unique_ptr<TestForm> playing(const board::Map& dealt, int gameType) {
        auto f = windowDealing(dealt);
        if (gameType == board::kGame44) f->mnuG44_Click();
        f->Command1_Click();
        return f;
    }
};

int distanceHome(const board::Map& map, int gameType) {
    return static_cast<int>(walkHome(map, gameType).size());
}

void click(Form1& f, int cell) {
    if (f.GameType == board::kGame44) {
        f.PicG2_Click(cell);
    } else {
        f.PicG1_Click(cell);
    }
}

// 3 x 3 only: the first 4 x 4 search builds the solver's tables, seconds of work that the
// solver's own tests and benchmarks pay for; both sizes share every line of the hint's rule.
struct HintCase {
    int gameType;
    int moves;  // from the solved board
    unsigned seed;
};

class Hints : public Keys, public ::testing::WithParamInterface<HintCase> {};

TEST_P(Hints, MarkATileWhoseMoveStartsAShortestSolutionAndCountNothing) {
    const HintCase& c = GetParam();
    const board::Map dealt = dealableNearSolved(c.gameType, c.moves, c.seed);
    ASSERT_FALSE(dealt.empty());
    auto f = playing(dealt, c.gameType);
    f->Timer1_Timer();
    f->Form_KeyDown(keys::kH);
    ASSERT_TRUE(f->runSearch());
    const int cell = f->HintCell();
    ASSERT_GE(cell, 0);
    EXPECT_TRUE(f->hinted(c.gameType, cell));
    // Nothing moved or counted; the clock runs on.
    EXPECT_EQ(f->TileMap(), dealt);
    EXPECT_EQ(f->LngStep, 0);
    EXPECT_TRUE(f->timerRunning);
    f->Timer1_Timer();
    EXPECT_EQ(f->LngTime, 2);
    EXPECT_TRUE(boxes.empty());

    const int before = distanceHome(dealt, c.gameType);
    click(*f, cell);
    ASSERT_EQ(f->LngStep, 1) << "the marked tile is beside the blank";
    EXPECT_EQ(distanceHome(f->TileMap(), c.gameType), before - 1);
    EXPECT_EQ(f->HintCell(), -1) << "the move takes the mark away";
}

INSTANTIATE_TEST_SUITE_P(Boards, Hints,
                         ::testing::Values(HintCase{33, 4, 9}, HintCase{33, 8, 2},
                                           HintCase{33, 14, 3}, HintCase{33, 20, 4}));

// Each way the board in play changes takes the mark away.
TEST_F(Keys, TheMarkGoesAtADealASwitchAndAGiveUp) {
    const std::vector<std::pair<const char*, std::function<void(TestForm&)>>> events{
        {"deal", [](TestForm& f) { f.Command1_Click(); }},
        {"switch", [](TestForm& f) { f.mnuG44_Click(); }},
        {"give-up",
         [this](TestForm& f) {
             answers.push_back(msgbox::kYes);
             f.mnuReset_Click();
         }},
    };
    const board::Map dealt = dealableNearSolved(33, 10, 8);
    ASSERT_FALSE(dealt.empty());
    for (const auto& [name, event] : events) {
        auto f = playing(dealt, 33);
        f->Form_KeyDown(keys::kH);
        ASSERT_TRUE(f->runSearch());
        ASSERT_GE(f->HintCell(), 0);
        event(*f);
        EXPECT_EQ(f->HintCell(), -1) << name;
        for (int cell = 0; cell < 16; ++cell) {
            EXPECT_FALSE(f->hinted(f->GameType, cell)) << name;
        }
    }
}

// The answer of a search the player overtook with a move belongs to a board no longer in play.
TEST_F(Keys, AMoveCancelsTheSearchAndItsAnswerIsDropped) {
    const board::Map dealt = dealableNearSolved(33, 16, 11);
    ASSERT_FALSE(dealt.empty());
    auto f = playing(dealt, 33);
    f->Form_KeyDown(keys::kH);
    ASSERT_EQ(f->searches.size(), 1u);
    const auto cancel = f->searches.front().cancel;
    click(*f, board::neighbours(33, f->BlankCell()).front());
    ASSERT_EQ(f->LngStep, 1);
    EXPECT_TRUE(cancel->load());
    f->runSearch();
    EXPECT_EQ(f->HintCell(), -1);
    // A new H searches the board as it now stands.
    f->Form_KeyDown(keys::kH);
    ASSERT_EQ(f->searches.size(), 1u);
    EXPECT_FALSE(f->searches.front().cancel->load());
    f->runSearch();
    EXPECT_GE(f->HintCell(), 0);
}

TEST_F(Keys, AnUnsolvableBoardGetsTheSolversBoxAndNoSearch) {
    // Two tiles swapped: out of reach of the solved board on either size.
    for (const int gameType : {33, 44}) {
        board::Map target = solved(gameType);
        const int last = board::lastTile(gameType);
        std::swap(target[last - 1], target[last - 2]);
        const board::Map dealt = nearestDealable(target, gameType);
        ASSERT_FALSE(dealt.empty());
        auto f = playing(dealt, gameType);
        boxes.clear();
        f->Form_KeyDown(keys::kH);
        EXPECT_TRUE(f->searches.empty());
        ASSERT_EQ(boxes.size(), 1u) << gameType;
        EXPECT_EQ(boxes[0].prompt, "问题无解！");
        EXPECT_EQ(boxes[0].style, msgbox::kInformation);
        EXPECT_EQ(boxes[0].title, kAppTitle);
        EXPECT_EQ(f->LngStep, 0);
        EXPECT_TRUE(f->IsPlaying());
    }
}

TEST_F(Keys, OutsideAGameNoKeyDoesAnything) {
    int moves = 0;
    auto f = windowAfterAWin(&moves);
    auto idle = window();
    boxes.clear();
    for (TestForm* w : {f.get(), idle.get()}) {
        const board::Map before = w->TileMap();
        for (const int key : {keys::kH, keys::kLeft, keys::kUp, keys::kRight, keys::kDown}) {
            w->Form_KeyDown(key);
        }
        EXPECT_TRUE(w->searches.empty());
        EXPECT_EQ(w->TileMap(), before);
        EXPECT_EQ(w->HintCell(), -1);
    }
    EXPECT_EQ(f->LngStep, moves);
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
    if (c.slides >= 0) click(*byClick, c.slides);
    EXPECT_EQ(byKey->TileMap(), byClick->TileMap());
    EXPECT_EQ(byKey->LngStep, c.slides >= 0 ? 1 : 0);
    EXPECT_EQ(byKey->BlankCell(), byClick->BlankCell());
    for (int cell = 0; cell < board::side(c.gameType) * board::side(c.gameType); ++cell) {
        EXPECT_EQ(byKey->tile(c.gameType, cell), byClick->tile(c.gameType, cell)) << cell;
    }
    EXPECT_TRUE(showsDigits(byKey->step, c.slides >= 0 ? "1" : "0"));
}

INSTANTIATE_TEST_SUITE_P(
    Board33, Arrows,
    ::testing::Values(ArrowCase{33, 4, keys::kRight, 3}, ArrowCase{33, 4, keys::kLeft, 5},
                      ArrowCase{33, 4, keys::kDown, 1}, ArrowCase{33, 4, keys::kUp, 7},
                      ArrowCase{33, 3, keys::kRight, -1},  // nothing on the blank's left
                      ArrowCase{33, 5, keys::kLeft, -1}, ArrowCase{33, 1, keys::kDown, -1},
                      ArrowCase{33, 7, keys::kUp, -1}, ArrowCase{33, 2, keys::kRight, 1},
                      ArrowCase{33, 6, keys::kDown, 3}, ArrowCase{33, 4, 65, -1}));  // 'A'

INSTANTIATE_TEST_SUITE_P(
    Board44, Arrows,
    ::testing::Values(ArrowCase{44, 5, keys::kRight, 4}, ArrowCase{44, 5, keys::kLeft, 6},
                      ArrowCase{44, 5, keys::kDown, 1}, ArrowCase{44, 5, keys::kUp, 9},
                      ArrowCase{44, 4, keys::kRight, -1},  // cell 3 ends the row above
                      ArrowCase{44, 11, keys::kLeft, -1},  // cell 12 starts the row below
                      ArrowCase{44, 14, keys::kUp, -1}, ArrowCase{44, 15, keys::kDown, 11}));

TEST_F(Keys, AnArrowThatCompletesThePictureWinsAsAClickDoes) {
    const board::Map dealt = dealableNearSolved(33, 4, 9);
    ASSERT_FALSE(dealt.empty());
    auto f = playing(dealt, 33);
    for (const board::Map& next : walkHome(dealt, 33)) {
        const int from = blankOf(next);
        const int blank = f->BlankCell();
        const int key = from == blank - 1   ? keys::kRight
                        : from == blank + 1 ? keys::kLeft
                        : from == blank - 3 ? keys::kDown
                                            : keys::kUp;
        f->Form_KeyDown(key);
    }
    EXPECT_TRUE(f->IsWon);
    EXPECT_FALSE(f->timerRunning);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "真行！你创造了新的纪录");
}

// While a box or a modal window is open, the keys are theirs: the board under it stays.
TEST_F(Keys, NoKeyActsWhileABoxOrModalWindowIsOpen) {
    const board::Map dealt = dealtWithBlankAt(33, 4, 7);
    ASSERT_FALSE(dealt.empty());
    auto f = playing(dealt, 33);
    auto pressAll = [&] {
        for (const int key : {keys::kLeft, keys::kUp, keys::kRight, keys::kDown, keys::kH}) {
            f->Form_KeyDown(key);
        }
    };
    int pressed = 0;
    onBox = [&](const RecordedBox&) {
        pressAll();
        ++pressed;
    };
    onModal = [&](ModalWindow&) {
        pressAll();
        ++pressed;
    };
    f->mnuReset_Click();  // the give-up question, answered No
    f->mnuHero_Click();
    f->mnuAnswer_Click();
    ASSERT_GE(pressed, 3);
    EXPECT_EQ(f->TileMap(), dealt);
    EXPECT_EQ(f->LngStep, 0);
    EXPECT_TRUE(f->searches.empty());
    // Closed again, they act.
    f->Form_KeyDown(keys::kRight);
    EXPECT_EQ(f->LngStep, 1);
}

// The surface under the mark is drawn again when the mark comes and when it goes.
TEST_F(Keys, TheMarkedSurfaceIsDrawnAgainWhenTheMarkComesAndGoes) {
    const board::Map dealt = dealableNearSolved(33, 12, 13);
    ASSERT_FALSE(dealt.empty());
    auto f = playing(dealt, 33);
    TileSurfaces shown;
    shown.changed(*f, 33);
    f->Form_KeyDown(keys::kH);
    f->runSearch();
    const int cell = f->HintCell();
    ASSERT_GE(cell, 0);
    EXPECT_EQ(shown.changed(*f, 33), std::vector<int>{cell});
    f->Command1_Click();
    const std::vector<int> redrawn = shown.changed(*f, 33);
    EXPECT_NE(std::find(redrawn.begin(), redrawn.end(), cell), redrawn.end());
}

}  // namespace
