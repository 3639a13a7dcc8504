// Menus, the board switch, the web link and what the close writes.
#include "game/app_info.h"
#include "settings/frm_option.h"
#include "settings/settings_store.h"
#include "support/core_test_support.h"

#include <algorithm>
#include <climits>

namespace {

using Menus = Form1Test;
using form1_layout::kMenuBar;

// The captions under a menu of the bar ("-" for a separator), or of the bar itself for nullptr.
std::vector<std::string> captionsUnder(MenuEntry Form1::*menu) {
    int id = 0;
    for (const auto& item : kMenuBar) {
        if (menu && item.entry == menu) id = item.id;
    }
    std::vector<std::string> out;
    for (const auto& item : kMenuBar) {
        if (item.parent == id) out.emplace_back(item.caption);
    }
    return out;
}

// Runs what the bar runs when the entry is chosen or, for a menu, when it opens.
void choose(Form1& f, MenuEntry Form1::*entry) {
    for (const auto& item : kMenuBar) {
        if (item.entry != entry) continue;
        ASSERT_NE(item.command, nullptr) << item.caption;
        (f.*item.command)();
        return;
    }
    FAIL() << "no such entry on the bar";
}

TEST_F(Menus, BarAndEntriesReadAsTheGameWritesThem) {
    using V = std::vector<std::string>;
    EXPECT_EQ(captionsUnder(nullptr), (V{"游戏", "选项", "&帮助", "好东东！"}));
    EXPECT_EQ(captionsUnder(&Form1::mnuGame),
              (V{"开局(&N)", "结束(&E)", "-", "英雄榜(&S)", "-", "退出游戏(&X)"}));
    EXPECT_EQ(captionsUnder(&Form1::mnuOption), (V{"难度(&L)", "背景(&P)..."}));
    EXPECT_EQ(captionsUnder(&Form1::mnuGameType), (V{"3 X 3", "4 X 4"}));
    EXPECT_EQ(captionsUnder(&Form1::mnuHelp), (V{"自动求解", "-", "关于(&A)"}));
    // The web link is a command on the bar itself, not a menu.
    EXPECT_TRUE(captionsUnder(&Form1::MnuOstrelle1).empty());
    for (const auto& item : kMenuBar) {
        EXPECT_EQ(item.tickable, item.entry == &Form1::mnuG33 || item.entry == &Form1::mnuG44)
            << item.caption;
    }
}

struct MenuState {
    bool reset, gameType, background, answer;
};

MenuState menuState(Form1& f) {
    choose(f, &Form1::mnuGame);
    choose(f, &Form1::mnuOption);
    return {f.mnuReset.Enabled, f.mnuGameType.Enabled, f.mnuBG.Enabled, f.mnuAnswer.Enabled};
}

void expectState(Form1& f, MenuState want, const char* when) {
    const MenuState got = menuState(f);
    EXPECT_EQ(got.reset, want.reset) << when;
    EXPECT_EQ(got.gameType, want.gameType) << when;
    EXPECT_EQ(got.background, want.background) << when;
    EXPECT_EQ(got.answer, want.answer) << when;
    EXPECT_TRUE(f.mnuStart.Enabled && f.mnuHero.Enabled && f.mnuExit.Enabled &&
                f.mnuAbout.Enabled && f.MnuOstrelle1.Enabled)
        << when;
}

TEST_F(Menus, EnabledEntriesFollowIdlePlayingAndFinished) {
    const board::Map dealt = dealableNearSolved(33, 4, 21);
    ASSERT_FALSE(dealt.empty());
    auto f = windowDealing(dealt);
    expectState(*f, {false, true, true, false}, "idle");
    f->Command1_Click();
    expectState(*f, {true, false, false, true}, "playing");
    playAlong(*f, walkHome(dealt, 33));
    ASSERT_TRUE(f->IsWon);
    expectState(*f, {false, true, true, true}, "finished");
    f->Command1_Click();
    answers = {msgbox::kYes};
    f->mnuReset_Click();
    expectState(*f, {false, true, true, false}, "given up");
}

TEST_F(Menus, TicksFollowTheBoardWhenTheOptionsMenuOpens) {
    auto f = window();
    choose(*f, &Form1::mnuOption);
    EXPECT_TRUE(f->mnuG33.Checked);
    EXPECT_FALSE(f->mnuG44.Checked);
    choose(*f, &Form1::mnuG44);
    EXPECT_EQ(f->GameType, 44);
    EXPECT_FALSE(f->mnuG33.Checked);
    EXPECT_TRUE(f->mnuG44.Checked);
    choose(*f, &Form1::mnuG44);  // choosing the current size again keeps it ticked
    EXPECT_TRUE(f->mnuG44.Checked);
    choose(*f, &Form1::mnuOption);
    EXPECT_TRUE(f->mnuG44.Checked);
    EXPECT_FALSE(f->mnuG33.Checked);
    choose(*f, &Form1::mnuG33);
    EXPECT_EQ(f->GameType, 33);
    EXPECT_TRUE(f->mnuG33.Checked);
    EXPECT_FALSE(f->mnuG44.Checked);
}

TEST_F(Menus, GivingUpAsksAndNoKeepsTheGameGoing) {
    auto f = window();
    f->Command1_Click();
    f->PicG1_Click(board::neighbours(33, f->BlankCell()).front());
    f->Timer1_Timer();
    const board::Map before = f->TileMap();
    f->mnuReset_Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "真不想玩了？");
    EXPECT_EQ(boxes[0].title, "放弃？");
    EXPECT_EQ(boxes[0].style, 292);
    EXPECT_TRUE(f->IsPlaying());
    EXPECT_TRUE(f->timerRunning);
    EXPECT_EQ(f->TileMap(), before);
    EXPECT_EQ(f->LngStep, 1);
    f->Timer1_Timer();
    EXPECT_EQ(f->LngTime, 2);
}

TEST_F(Menus, GivingUpWithYesResetsTheBoard) {
    auto f = window();
    f->Command1_Click();
    f->PicG1_Click(board::neighbours(33, f->BlankCell()).front());
    answers = {msgbox::kYes};
    f->mnuReset_Click();
    EXPECT_FALSE(f->IsPlaying());
    EXPECT_FALSE(f->timerRunning);
    EXPECT_EQ(f->LngStep, 0);
    EXPECT_FALSE(f->mnuAnswer.Enabled);
    EXPECT_TRUE(boardShows(*f, solved(33), 1));
    EXPECT_TRUE(showsDigits(f->step, "0"));
    EXPECT_EQ(boxes.size(), 1u);  // no congratulation
}

TEST_F(Menus, GivingUpWhenNoGameRunsAsksNothing) {
    auto f = window();
    f->mnuReset_Click();
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Menus, NewGameDuringAGameDealsAtOnce) {
    auto f = window([] { return 0.3f; });
    f->Command1_Click();
    f->PicG1_Click(board::neighbours(33, f->BlankCell()).front());
    f->Timer1_Timer();
    f->mnuStart_Click();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(f->LngStep, 0);
    EXPECT_EQ(f->LngTime, 0);
    EXPECT_TRUE(f->IsPlaying());
    EXPECT_TRUE(boardShows(*f, f->TileMap(), 1));
}

struct SwitchCase {
    std::int32_t storedPicture;
    int pictureOn44, pictureBackOn33;
};

class BoardSwitch : public Form1Test, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(BoardSwitch, SwapsTheNumberedPicturesOnly) {
    const auto& c = GetParam();
    storeValue("PType", c.storedPicture);
    auto f = window();
    f->mnuG44_Click();
    EXPECT_EQ(f->GameType, 44);
    EXPECT_EQ(f->PicType, c.pictureOn44);
    EXPECT_TRUE(boardShows(*f, solved(44), c.pictureOn44));
    EXPECT_EQ(f->Pic44.Left, 80);
    EXPECT_EQ(f->Pic33.Left, kOutOfView);
    f->mnuG33_Click();
    EXPECT_EQ(f->PicType, c.pictureBackOn33);
    EXPECT_TRUE(boardShows(*f, solved(33), c.pictureBackOn33));
    EXPECT_EQ(f->Pic33.Left, 80);
    EXPECT_EQ(f->Pic44.Left, kOutOfView);
    // The stored choice is never changed by a switch.
    EXPECT_EQ(storedValue("PTYPE"), c.storedPicture);
}

INSTANTIATE_TEST_SUITE_P(Pictures, BoardSwitch,
                         ::testing::Values(SwitchCase{1, 5, 1}, SwitchCase{2, 2, 2},
                                           SwitchCase{3, 3, 3}, SwitchCase{4, 4, 4}));

TEST_F(Menus, SwitchAfterAFinishedGameKeepsTheDisplaysAndDealsNothing) {
    const board::Map dealt = dealableNearSolved(33, 4, 5);
    ASSERT_FALSE(dealt.empty());
    auto f = windowDealing(dealt);
    f->Command1_Click();
    f->Timer1_Timer();
    f->Timer1_Timer();
    const auto walk = walkHome(dealt, 33);
    playAlong(*f, walk);
    ASSERT_TRUE(f->IsWon);
    f->mnuG44_Click();
    EXPECT_TRUE(boardShows(*f, solved(44), 5));
    EXPECT_EQ(f->LngStep, static_cast<int>(walk.size()));
    EXPECT_TRUE(showsDigits(f->step, std::to_string(walk.size())));
    EXPECT_TRUE(showsDigits(f->time, "2"));
    EXPECT_TRUE(f->IsWon);
    EXPECT_TRUE(f->IsChampion);
    EXPECT_FALSE(f->IsPlaying());
    EXPECT_TRUE(f->mnuAnswer.Enabled);
    // Clicks on the new board are ignored until a deal.
    f->PicG2_Click(14);
    EXPECT_EQ(f->LngStep, static_cast<int>(walk.size()));
}

TEST_F(Menus, WebLinkOpensTheMakersSoftwarePage) {
    auto f = window();
    choose(*f, &Form1::MnuOstrelle1);
    ASSERT_EQ(addresses.size(), 1u);
    const std::string& address = addresses[0];
    EXPECT_EQ(address.rfind("https://", 0), 0u) << address;
    ASSERT_GE(address.size(), 6u);
    EXPECT_EQ(address.substr(address.size() - 6), "/soft/") << address;
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Menus, OptionsCommandsSetTheModeBeforeTheWindowOpens) {
    auto f = window();
    std::vector<int> seen;
    std::vector<std::string> titles;
    onModal = [&](ModalWindow& w) {
        seen.push_back(f->ShowMsg);
        titles.push_back(dynamic_cast<FrmOption&>(w).Caption);
    };
    f->mnuHero_Click();
    f->mnuBG_Click();
    f->mnuAbout_Click();
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(titles, (std::vector<std::string>{"拼图英雄榜", "Backdrop", "Abot..."}));
}

TEST_F(Menus, HallOfFameDuringAGameStopsTheClockWhileOpen) {
    auto f = window();
    f->Command1_Click();
    f->Timer1_Timer();
    onModal = [&](ModalWindow&) {
        f->foreground = false;  // the options window is in front now
        for (int i = 0; i < 5; ++i) f->Timer1_Timer();
        f->foreground = true;
    };
    f->mnuHero_Click();
    EXPECT_EQ(f->LngTime, 1);
    f->Timer1_Timer();
    EXPECT_EQ(f->LngTime, 2);
}

// ---- What the close writes ----

TEST_F(Menus, CloseAfterARecordWritesBothRecords) {
    auto f = windowAfterAWin();
    ASSERT_TRUE(f->IsWon);
    ASSERT_TRUE(f->IsChampion);
    f->mnuExit_Click();
    EXPECT_EQ(f->unloads, 1);
    EXPECT_EQ(storedValue("MinStep33"), f->MinStep33);
    EXPECT_EQ(storedValue("MinStep44"), 99999);
    EXPECT_EQ(storeErrors, 0);
}

TEST_F(Menus, CloseKeepsARecordAfterAnotherDeal) {
    auto f = windowAfterAWin();
    ASSERT_TRUE(f->IsWon);
    const std::int32_t record = f->MinStep33;
    f->Command1_Click();  // clears IsChampion; the record must still reach the store
    EXPECT_FALSE(f->IsChampion);
    f->Form_Unload();
    EXPECT_EQ(storedValue("MinStep33"), record);
    EXPECT_EQ(storedValue("MinStep44"), 99999);
}

TEST_F(Menus, CloseWithoutARecordWritesNothing) {
    storeValue("MinStep33", kMinStep33Floor);
    const board::Map dealt = dealableNearSolved(33, 6, 9);
    ASSERT_FALSE(dealt.empty());
    auto f = windowDealing(dealt);
    f->Command1_Click();
    playAlong(*f, walkHome(dealt, 33));  // more moves than the record
    ASSERT_FALSE(f->IsChampion);
    f->mnuG44_Click();
    f->Form_Unload();
    EXPECT_EQ(storedValue("MinStep33"), kMinStep33Floor);
    EXPECT_EQ(storedValue("MinStep44"), 0);  // never written
}

TEST_F(Menus, CloseDuringAGameAsksNothing) {
    auto f = window();
    f->Command1_Click();
    f->Form_Unload();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(storedValue("MinStep33"), 0);
}

// Two games on one machine share the store, each with the records it read when it started.
struct SharedCase {
    std::int32_t found44;  // what the store holds for 4 x 4 when the second game closes
    bool secondSets44;     // whether the second game also sets a 4 x 4 record
};

class SharedRecords : public Form1Test, public ::testing::WithParamInterface<SharedCase> {};

TEST_P(SharedRecords, AreNeverOverwrittenByAnOlderGame) {
    const auto& c = GetParam();
    const board::Map quick = dealableNearSolved(33, 4, 9);
    const board::Map slow = dealableNearSolved(33, 8, 44);
    const board::Map big = dealableNearSolved(44, 9, 55);
    ASSERT_FALSE(quick.empty() || slow.empty() || big.empty());
    const auto quickWalk = walkHome(quick, 33), slowWalk = walkHome(slow, 33);
    const auto bigWalk = walkHome(big, 44);
    ASSERT_FALSE(quickWalk.empty() || bigWalk.empty());
    ASSERT_LT(quickWalk.size(), slowWalk.size());
    const auto slowDraws = drawsFor(slow), bigDraws = drawsFor(big);
    ASSERT_TRUE(slowDraws && bigDraws);
    std::vector<float> draws = *slowDraws;
    draws.insert(draws.end(), bigDraws->begin(), bigDraws->end());

    // Both start on an empty store.
    auto first = windowDealing(quick);
    auto second = window(replay(draws));

    first->Command1_Click();
    playAlong(*first, quickWalk);
    ASSERT_TRUE(first->IsChampion);
    first->mnuExit_Click();
    ASSERT_EQ(storedValue("MinStep33"), static_cast<int>(quickWalk.size()));

    // The second game never saw the first one's record: a worse game is a record to it.
    second->Command1_Click();
    playAlong(*second, slowWalk);
    ASSERT_TRUE(second->IsChampion);
    if (c.secondSets44) {
        second->mnuG44_Click();
        second->Command1_Click();
        playAlong(*second, bigWalk);
        ASSERT_TRUE(second->IsChampion);
    }
    storeValue("MinStep44", c.found44);
    second->mnuExit_Click();

    EXPECT_EQ(storedValue("MinStep33"), static_cast<int>(quickWalk.size()));
    // A better stored record stays; a stored value that is no move count (damaged, or written
    // by something else) reads as no record.
    const std::int32_t mine44 = c.secondSets44 ? static_cast<int>(bigWalk.size()) : 99999;
    const bool foundARecord = c.found44 >= kMinStep44Floor && c.found44 <= 99999;
    EXPECT_EQ(storedValue("MinStep44"), foundARecord ? std::min(c.found44, mine44) : mine44);
    EXPECT_EQ(storeErrors, 0);
}

INSTANTIATE_TEST_SUITE_P(Close, SharedRecords,
                         ::testing::Values(SharedCase{99999, true},  // as the first game wrote it
                                           SharedCase{0, true}, SharedCase{-5, true},
                                           SharedCase{100000, true}, SharedCase{0, false},
                                           SharedCase{INT32_MIN, false}, SharedCase{1, true},
                                           SharedCase{3, false}));

// Logout or shutdown: the records are written as on close, and a failed write is logged, since
// no box may hold the end of the session up. The close that follows writes nothing again.
TEST_F(Menus, EndOfSessionWritesTheRecordsWithoutABox) {
    auto f = windowAfterAWin();
    ASSERT_TRUE(f->IsChampion);
    f->EndSession();
    EXPECT_EQ(storedValue("MinStep33"), f->MinStep33);
    EXPECT_EQ(storedValue("MinStep44"), 99999);
#ifndef _WIN32
    clearStore();  // so that g's win is a record too
    auto g = windowAfterAWin();
    ASSERT_TRUE(g->IsChampion);
    boxes.clear();
    failStoreWrites();
    g->EndSession();
    EXPECT_TRUE(boxes.empty());
    // Once: after one failed write the other is not tried, so the end is not held up twice.
    EXPECT_EQ(g->logged, (std::vector<std::string>{"存储失败！"}));
    EXPECT_EQ(storeErrors, 0);
    g->Form_Unload();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(g->logged.size(), 1u) << "the records were written once already";
#endif
}

// A close whose writes fail shows one box and keeps the record in the player's own folder; the
// next start stores it and forgets it.
TEST_F(Menus, FailedWritesOnCloseShowTheErrorOnceAndKeepTheRecordForTheNextStart) {
#ifdef _WIN32
    GTEST_SKIP() << "a file cannot block the registry";
#endif
    failStoreWrites();
    auto f = windowAfterAWin();
    ASSERT_TRUE(f->IsWon);
    const std::int32_t record = f->MinStep33;
    ASSERT_EQ(boxes.size(), 2u) << "the congratulation, then the failed write";
    EXPECT_EQ(boxes[1].prompt, "存储失败！");
    EXPECT_EQ(boxes[1].title, "错误：");
    EXPECT_EQ(boxes[1].style, 16);
    boxes.clear();
    f->mnuExit_Click();
    ASSERT_EQ(boxes.size(), 0u) << "the player has been told already";
    EXPECT_EQ(store::pendingValue(kAppKey, kMinStep33Value), record);
    EXPECT_FALSE(store::pendingValue(kAppKey, kMinStep44Value)) << "no record is no record";

    // Writable again (the registry has no such failure).
    allowStoreWrites();
    auto h = window();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(storedValue("MinStep33"), record);
    EXPECT_EQ(h->MinStep33, record);
    EXPECT_FALSE(store::pendingValue(kAppKey, kMinStep33Value));
}

}  // namespace
