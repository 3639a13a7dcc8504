// Start-up, deal, moves, clock and completion, driven through the main window's rules.
#include "game/app_info.h"
#include "support/core_test_support.h"

#include <climits>
#include <utility>

namespace {

using Play = Form1Test;

TEST_F(Play, FirstRunStartsIdleOnTheSolvedNumberedBoard) {
    auto f = window();
    EXPECT_EQ(f->Caption, "Tessle 拼图");
    EXPECT_EQ(f->MinStep33, 99999);
    EXPECT_EQ(f->MinStep44, 99999);
    EXPECT_EQ(f->PicType, 1);
    EXPECT_EQ(f->GameType, 33);
    EXPECT_FALSE(f->IsPlaying());
    EXPECT_FALSE(f->timerRunning);
    EXPECT_FALSE(f->Timer1Enabled);
    EXPECT_FALSE(f->mnuAnswer.Enabled);
    EXPECT_TRUE(f->TileMap().empty());
    EXPECT_TRUE(boardShows(*f, solved(33), 1));
    EXPECT_TRUE(showsDigits(f->step, "0"));
    EXPECT_TRUE(showsDigits(f->time, "0"));
    EXPECT_TRUE(boxes.empty());
    // The board sits under the top strip, left 80 twips; the other board is out of view.
    EXPECT_EQ(f->Pic33.Left, 80);
    EXPECT_EQ(f->Pic33.Top, 485);
    EXPECT_EQ(f->Pic44.Left, kOutOfView);
    EXPECT_EQ(f->Pic44.Top, 485);
}

struct StoredCase {
    std::int32_t minStep33, minStep44, pType;
    std::int32_t wantMin33, wantMin44, wantPicType;
};

class StoredValues : public Form1Test, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValues, AreMappedAtStartUp) {
    const auto& c = GetParam();
    storeValue("MinStep33", c.minStep33);
    storeValue("MinStep44", c.minStep44);
    storeValue("PType", c.pType);
    auto f = window();
    EXPECT_EQ(f->MinStep33, c.wantMin33);
    EXPECT_EQ(f->MinStep44, c.wantMin44);
    EXPECT_EQ(f->PicType, c.wantPicType);
    EXPECT_TRUE(boardShows(*f, solved(33), c.wantPicType));
}

INSTANTIATE_TEST_SUITE_P(
    Records, StoredValues,
    ::testing::Values(StoredCase{57, 120, 3, 57, 120, 3},    // kept as stored
                      StoredCase{0, 0, 0, 99999, 99999, 1},  // 0 means nothing stored
                      // The ends of the range: the fewest moves a deal can be won in, and 99999.
                      StoredCase{kMinStep33Floor, 99999, 4, kMinStep33Floor, 99999, 4},
                      StoredCase{99999, kMinStep44Floor, 4, 99999, kMinStep44Floor, 4},
                      // Fewer moves than any deal needs: written, never won.
                      StoredCase{kMinStep33Floor - 1, kMinStep44Floor - 1, 4, 99999, 99999, 4},
                      StoredCase{-5, 100000, 5, 99999, 99999, 1},
                      StoredCase{INT32_MIN, INT32_MAX, 2, 99999, 99999, 2},
                      StoredCase{31, 80, 7, 31, 80, 1}, StoredCase{31, 80, -1, 31, 80, 1}));

TEST_F(Play, ClicksBeforeTheFirstDealChangeNothing) {
    auto f = window();
    for (int cell = 0; cell < 9; ++cell) f->PicG1_Click(cell);
    EXPECT_EQ(f->LngStep, 0);
    EXPECT_FALSE(f->IsWon);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(boardShows(*f, solved(33), 1));
}

TEST_F(Play, DealShowsTheDealtArrangementAndStartsTheClock) {
    const board::Map dealt = dealtWithBlankAt(33, 2, 9);
    ASSERT_FALSE(dealt.empty());
    auto f = windowDealing(dealt);
    f->Command1_Click();
    EXPECT_EQ(f->TileMap(), dealt);
    EXPECT_EQ(f->BlankCell(), 2);
    EXPECT_TRUE(f->IsPlaying());
    EXPECT_TRUE(f->timerRunning);
    EXPECT_TRUE(f->Timer1Enabled);
    EXPECT_TRUE(f->mnuAnswer.Enabled);
    EXPECT_TRUE(boardShows(*f, dealt, 1));
    EXPECT_TRUE(showsDigits(f->step, "0"));
}

TEST_F(Play, PhotographDealtOnTheBigBoard) {
    storeValue("PType", 3);
    const board::Map dealt = dealableNearSolved(44, 9, 7);
    ASSERT_FALSE(dealt.empty());
    auto f = windowDealing(dealt);
    f->mnuG44_Click();
    EXPECT_EQ(f->PicType, 3);
    f->Command1_Click();
    EXPECT_EQ(f->TileMap(), dealt);
    EXPECT_TRUE(boardShows(*f, dealt, 3));
}

TEST_F(Play, DealingAgainZeroesTheCountersAndKeepsTheClockRunning) {
    auto f = window();
    f->Command1_Click();
    f->Timer1_Timer();
    f->Timer1_Timer();
    const int blank = f->BlankCell();
    f->PicG1_Click(board::neighbours(33, blank).front());
    ASSERT_EQ(f->LngStep, 1);
    ASSERT_EQ(f->LngTime, 2);
    f->Command1_Click();
    EXPECT_EQ(f->LngStep, 0);
    EXPECT_EQ(f->LngTime, 0);
    EXPECT_TRUE(showsDigits(f->step, "0"));
    EXPECT_TRUE(showsDigits(f->time, "0"));
    EXPECT_TRUE(f->timerRunning);
    EXPECT_TRUE(boxes.empty());
}

struct ClickCase {
    int gameType;
    int blank;
    int clicked;
    bool moves;
};

class Clicks : public Form1Test, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(Clicks, MoveOnlyATileThatSharesAnEdgeWithTheBlank) {
    const auto& c = GetParam();
    // A dealt map with the blank where the case wants it.
    const board::Map dealt = dealtWithBlankAt(c.gameType, c.blank, 5);
    ASSERT_FALSE(dealt.empty());
    auto f = windowDealing(dealt);
    if (c.gameType == 44) f->mnuG44_Click();
    f->Command1_Click();
    ASSERT_EQ(f->BlankCell(), c.blank);
    if (c.gameType == 44) {
        f->PicG2_Click(c.clicked);
    } else {
        f->PicG1_Click(c.clicked);
    }
    board::Map expected = dealt;
    if (c.moves) std::swap(expected[c.blank], expected[c.clicked]);
    EXPECT_EQ(f->TileMap(), expected);
    EXPECT_EQ(f->LngStep, c.moves ? 1 : 0);
    EXPECT_EQ(f->BlankCell(), c.moves ? c.clicked : c.blank);
    EXPECT_TRUE(boardShows(*f, expected, f->PicType));
    EXPECT_TRUE(showsDigits(f->step, c.moves ? "1" : "0"));
}

INSTANTIATE_TEST_SUITE_P(Board33, Clicks,
                         ::testing::Values(ClickCase{33, 2, 3,
                                                     false},  // cell 3 starts the next row
                                           ClickCase{33, 2, 1, true}, ClickCase{33, 2, 5, true},
                                           ClickCase{33, 2, 2, false},  // the blank itself
                                           ClickCase{33, 4, 0, false},  // diagonal
                                           ClickCase{33, 3, 5, false},  // two away in the row
                                           ClickCase{33, 1, 7, false},  // two away in the column
                                           ClickCase{33, 6, 5, false},  // end of the row above
                                           ClickCase{33, 4, 1, true}, ClickCase{33, 4, 3, true},
                                           ClickCase{33, 4, 5, true}, ClickCase{33, 4, 7, true}));

INSTANTIATE_TEST_SUITE_P(Board44, Clicks,
                         ::testing::Values(ClickCase{44, 4, 3, false},  // cell 3 ends the row above
                                           ClickCase{44, 4, 0, true}, ClickCase{44, 4, 5, true},
                                           ClickCase{44, 4, 8, true}, ClickCase{44, 7, 8, false},
                                           ClickCase{44, 11, 12, false},
                                           ClickCase{44, 5, 10, false}, ClickCase{44, 5, 13, false},
                                           ClickCase{44, 15, 11, true},
                                           ClickCase{44, 15, 14, true}));

TEST_F(Play, ClicksOnTheBoardOutOfViewAreIgnored) {
    auto f = window();
    f->Command1_Click();
    const board::Map before = f->TileMap();
    for (int cell = 0; cell < 16; ++cell) f->PicG2_Click(cell);
    EXPECT_EQ(f->TileMap(), before);
    EXPECT_EQ(f->LngStep, 0);
}

TEST_F(Play, ClockCountsOnlyWhileTheWindowIsInFront) {
    auto f = window();
    f->Command1_Click();
    for (int i = 0; i < 3; ++i) f->Timer1_Timer();
    f->foreground = false;
    for (int i = 0; i < 10; ++i) f->Timer1_Timer();
    EXPECT_EQ(f->LngTime, 3);
    EXPECT_TRUE(showsDigits(f->time, "3"));
    f->foreground = true;
    f->Timer1_Timer();
    EXPECT_EQ(f->LngTime, 4);  // the dropped ticks are not made up
    EXPECT_TRUE(showsDigits(f->time, "4"));
}

TEST_F(Play, SecondsShowAsOneNumberNotMinutes) {
    auto f = window();
    f->Command1_Click();
    for (int i = 0; i < 75; ++i) f->Timer1_Timer();
    EXPECT_TRUE(showsDigits(f->time, "75"));
}

TEST_F(Play, CompletingMoveShowsTheCountThenStopsTheClockThenCongratulates) {
    const board::Map dealt = dealableNearSolved(33, 6, 3);
    ASSERT_FALSE(dealt.empty());
    const std::vector<board::Map> walk = walkHome(dealt, 33);
    ASSERT_FALSE(walk.empty());
    auto f = windowDealing(dealt);
    f->Command1_Click();
    f->Timer1_Timer();
    bool countShown = false, clockStopped = false;
    onBox = [&](const RecordedBox&) {
        countShown = showsDigits(f->step, std::to_string(walk.size()));
        clockStopped = !f->timerRunning && !f->Timer1Enabled;
    };
    playAlong(*f, walk);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(countShown);
    EXPECT_TRUE(clockStopped);
    EXPECT_EQ(boxes[0].prompt, "真行！你创造了新的纪录");
    EXPECT_EQ(boxes[0].style, 64);
    EXPECT_EQ(boxes[0].title, "");
    EXPECT_TRUE(f->IsWon);
    EXPECT_TRUE(f->IsChampion);
    EXPECT_EQ(f->MinStep33, static_cast<int>(walk.size()));
    EXPECT_EQ(f->MinStep44, 99999);
    // Finished: the completed picture, blank in the last cell, the final counts kept.
    EXPECT_TRUE(boardShows(*f, solved(33), 1));
    EXPECT_TRUE(showsDigits(f->time, "1"));
    EXPECT_TRUE(f->mnuAnswer.Enabled);
    // Further clicks and ticks change nothing.
    f->PicG1_Click(7);
    f->PicG1_Click(5);
    EXPECT_EQ(f->LngStep, static_cast<int>(walk.size()));
    EXPECT_EQ(boxes.size(), 1u);
}

struct RecordCase {
    int gameType;
    std::int32_t storedRecord;  // before the game, for the board played
    bool newRecord;
};

class Records : public Form1Test, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(Records, OnlyStrictlyFewerMovesSetARecordOfThatSizeAlone) {
    const auto& c = GetParam();
    const board::Map dealt =
        dealableNearSolved(c.gameType, c.gameType == 44 ? 9 : 8, 11 + c.gameType);
    ASSERT_FALSE(dealt.empty());
    const std::vector<board::Map> walk = walkHome(dealt, c.gameType);
    ASSERT_FALSE(walk.empty());
    const int moves = static_cast<int>(walk.size());
    const std::int32_t record = c.storedRecord < 0 ? moves + c.storedRecord + 1 : c.storedRecord;
    storeValue(c.gameType == 33 ? "MinStep33" : "MinStep44", record);
    storeValue(c.gameType == 33 ? "MinStep44" : "MinStep33", 500);
    auto f = windowDealing(dealt);
    if (c.gameType == 44) f->mnuG44_Click();
    f->Command1_Click();
    playAlong(*f, walk);
    ASSERT_EQ(boxes.size(), 1u);
    const std::int32_t mine = c.gameType == 33 ? f->MinStep33 : f->MinStep44;
    const std::int32_t other = c.gameType == 33 ? f->MinStep44 : f->MinStep33;
    EXPECT_EQ(other, 500);
    EXPECT_EQ(f->IsChampion, c.newRecord);
    if (c.newRecord) {
        EXPECT_EQ(mine, moves);
        EXPECT_EQ(boxes[0].prompt, "真行！你创造了新的纪录");
        EXPECT_EQ(boxes[0].title, "");
    } else {
        EXPECT_EQ(mine, record);
        EXPECT_EQ(boxes[0].prompt, "不错，继续努力，你会做得更好！");
        EXPECT_EQ(boxes[0].title, "Congratulation!");
    }
    EXPECT_EQ(boxes[0].style, 64);
}

// storedRecord: 99999 (none), or relative to the game's moves when negative: -1 equal,
// -2 one fewer than the game (the game needs one move more), 0 one more than the game.
INSTANTIATE_TEST_SUITE_P(Both, Records,
                         ::testing::Values(RecordCase{33, 99999, true}, RecordCase{33, -1, false},
                                           RecordCase{33, -2, false}, RecordCase{33, 0, true},
                                           RecordCase{44, 99999, true}, RecordCase{44, -1, false},
                                           RecordCase{44, -2, false}, RecordCase{44, 0, true}));

TEST_F(Play, GameResetEndsTheGameWithoutAResult) {
    auto f = window();
    f->Command1_Click();
    f->Timer1_Timer();
    f->PicG1_Click(board::neighbours(33, f->BlankCell()).front());
    f->PicG1_Click(board::neighbours(33, f->BlankCell()).back());
    ASSERT_EQ(f->LngStep, 2);
    f->GameReset();
    EXPECT_FALSE(f->IsPlaying());
    EXPECT_FALSE(f->timerRunning);
    EXPECT_FALSE(f->IsChampion);
    EXPECT_FALSE(f->mnuAnswer.Enabled);
    EXPECT_EQ(f->LngStep, 0);
    EXPECT_EQ(f->LngTime, 0);
    EXPECT_EQ(f->MinStep33, 99999);
    EXPECT_TRUE(showsDigits(f->step, "0"));
    EXPECT_TRUE(showsDigits(f->time, "0"));
    EXPECT_TRUE(boardShows(*f, solved(33), 1));
    EXPECT_TRUE(boxes.empty());
    f->PicG1_Click(7);
    EXPECT_EQ(f->LngStep, 0);
}

}  // namespace
