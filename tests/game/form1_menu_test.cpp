// Menus, the board switch, the web link and what the close writes.
#include "support/game_test_support.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace {

using Menus = Form1Test;

QStringList captions(const QList<QAction*>& actions) {
    QStringList out;
    for (const QAction* a : actions) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

TEST_F(Menus, BarAndEntriesReadAsTheGameWritesThem) {
    auto f = window();
    EXPECT_EQ(captions(f->menuBar()->actions()),
              (QStringList{"游戏", "选项", "&帮助", "好东东！"}));
    EXPECT_EQ(captions(f->mnuGame->actions()),
              (QStringList{"开局(&N)", "结束(&E)", "-", "英雄榜(&S)", "-", "退出游戏(&X)"}));
    EXPECT_EQ(captions(f->mnuOption->actions()), (QStringList{"难度(&L)", "背景(&P)..."}));
    EXPECT_EQ(captions(f->mnuGameType->actions()), (QStringList{"3 X 3", "4 X 4"}));
    EXPECT_EQ(captions(f->mnuHelp->actions()), (QStringList{"自动求解", "-", "关于(&A)"}));
    EXPECT_EQ(f->MnuOstrelle1->menu(), nullptr);  // a command on the bar itself
    for (QMenu* menu : {f->mnuGame, f->mnuOption, f->mnuGameType, f->mnuHelp}) {
        for (const QAction* a : menu->actions()) EXPECT_TRUE(a->shortcut().isEmpty());
    }
}

struct MenuState {
    bool reset, gameType, background, answer;
};

MenuState menuState(Form1& f) {
    emit f.mnuGame->aboutToShow();
    emit f.mnuOption->aboutToShow();
    return {f.mnuReset->isEnabled(), f.mnuGameType->menuAction()->isEnabled(), f.mnuBG->isEnabled(),
            f.mnuAnswer->isEnabled()};
}

void expectState(Form1& f, MenuState want, const char* when) {
    const MenuState got = menuState(f);
    EXPECT_EQ(got.reset, want.reset) << when;
    EXPECT_EQ(got.gameType, want.gameType) << when;
    EXPECT_EQ(got.background, want.background) << when;
    EXPECT_EQ(got.answer, want.answer) << when;
    EXPECT_TRUE(f.mnuStart->isEnabled() && f.mnuHero->isEnabled() && f.mnuExit->isEnabled() &&
                f.mnuAbout->isEnabled() && f.MnuOstrelle1->isEnabled())
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
    emit f->mnuOption->aboutToShow();
    EXPECT_TRUE(f->mnuG33->isChecked());
    EXPECT_FALSE(f->mnuG44->isChecked());
    f->mnuG44->trigger();  // as the player chooses it: Qt toggles, the handler decides
    EXPECT_EQ(f->GameType, 44);
    EXPECT_FALSE(f->mnuG33->isChecked());
    EXPECT_TRUE(f->mnuG44->isChecked());
    f->mnuG44->trigger();  // choosing the current size again keeps it ticked
    EXPECT_TRUE(f->mnuG44->isChecked());
    emit f->mnuOption->aboutToShow();
    EXPECT_TRUE(f->mnuG44->isChecked());
    EXPECT_FALSE(f->mnuG33->isChecked());
}

TEST_F(Menus, GivingUpAsksAndNoKeepsTheGameGoing) {
    auto f = window();
    f->Command1_Click();
    f->PicG1_Click(board::neighbours(33, f->BlankCell()).front());
    f->Timer1_Timer();
    const board::Map before = f->TileMap();
    f->mnuReset_Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, QStringLiteral("真不想玩了？"));
    EXPECT_EQ(boxes[0].title, QStringLiteral("放弃？"));
    EXPECT_EQ(boxes[0].style, 292);
    EXPECT_TRUE(f->IsPlaying());
    EXPECT_TRUE(f->Timer1->isActive());
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
    EXPECT_FALSE(f->Timer1->isActive());
    EXPECT_EQ(f->LngStep, 0);
    EXPECT_FALSE(f->mnuAnswer->isEnabled());
    EXPECT_TRUE(boardShows(*f, solved(33), 1));
    EXPECT_TRUE(showsDigits(*f->PicStep, "0"));
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
    EXPECT_EQ(f->Pic44->x(), 5);
    EXPECT_EQ(f->Pic33->x(), 400);
    EXPECT_TRUE(f->Pic33->isHidden());
    EXPECT_FALSE(f->Pic44->isHidden());
    f->mnuG33_Click();
    EXPECT_EQ(f->PicType, c.pictureBackOn33);
    EXPECT_TRUE(boardShows(*f, solved(33), c.pictureBackOn33));
    EXPECT_TRUE(f->Pic44->isHidden());
    // The stored choice is never changed by a switch.
    EXPECT_EQ(GetRegValue("Tessle", "PTYPE"), c.storedPicture);
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
    EXPECT_TRUE(showsDigits(*f->PicStep, std::to_string(walk.size())));
    EXPECT_TRUE(showsDigits(*f->PicTime, "2"));
    EXPECT_TRUE(f->IsWon);
    EXPECT_TRUE(f->IsChampion);
    EXPECT_FALSE(f->IsPlaying());
    EXPECT_TRUE(f->mnuAnswer->isEnabled());
    // Clicks on the new board are ignored until a deal.
    f->PicG2_Click(14);
    EXPECT_EQ(f->LngStep, static_cast<int>(walk.size()));
}

TEST_F(Menus, WebLinkOpensTheMakersSoftwarePage) {
    auto f = window();
    f->MnuOstrelle1->trigger();
    ASSERT_EQ(addresses.size(), 1u);
    EXPECT_TRUE(addresses[0].endsWith("/soft/"));
    EXPECT_TRUE(addresses[0].startsWith("https://"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Menus, OptionsCommandsSetTheModeBeforeTheWindowOpens) {
    auto f = window();
    std::vector<int> seen;
    std::vector<QString> titles;
    onModal = [&](QDialog& w) {
        seen.push_back(f->ShowMsg);
        titles.push_back(w.windowTitle());
    };
    f->mnuHero_Click();
    f->mnuBG_Click();
    f->mnuAbout_Click();
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(titles, (std::vector<QString>{"拼图英雄榜", "Backdrop", "Abot..."}));
}

TEST_F(Menus, HallOfFameDuringAGameStopsTheClockWhileOpen) {
    auto f = window();
    bool front = true;
    f->IsForeground = [&front] { return front; };
    f->Command1_Click();
    f->Timer1_Timer();
    onModal = [&](QDialog&) {
        front = false;  // the options window is in front now
        for (int i = 0; i < 5; ++i) f->Timer1_Timer();
        front = true;
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
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), f->MinStep33);
    EXPECT_EQ(GetRegValue("Tessle", "MinStep44"), 99999);
    EXPECT_EQ(storeErrors, 0);
}

TEST_F(Menus, CloseKeepsARecordAfterAnotherDeal) {
    auto f = windowAfterAWin();
    ASSERT_TRUE(f->IsWon);
    const std::int32_t record = f->MinStep33;
    f->Command1_Click();  // clears IsChampion; the record must still reach the store
    EXPECT_FALSE(f->IsChampion);
    f->close();
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), record);
    EXPECT_EQ(GetRegValue("Tessle", "MinStep44"), 99999);
}

TEST_F(Menus, CloseWithoutARecordWritesNothing) {
    storeValue("MinStep33", 1);
    const board::Map dealt = dealableNearSolved(33, 6, 9);
    ASSERT_FALSE(dealt.empty());
    auto f = windowDealing(dealt);
    f->Command1_Click();
    playAlong(*f, walkHome(dealt, 33));  // more moves than the record
    ASSERT_FALSE(f->IsChampion);
    f->mnuG44_Click();
    f->close();
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), 1);
    EXPECT_EQ(GetRegValue("Tessle", "MinStep44"), 0);  // never written
}

TEST_F(Menus, CloseDuringAGameAsksNothing) {
    auto f = window();
    f->Command1_Click();
    f->close();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), 0);
}

TEST_F(Menus, FailedWritesOnCloseShowTheErrorOncePerValueAndStillClose) {
    auto f = windowAfterAWin();
    ASSERT_TRUE(f->IsWon);
    boxes.clear();
    // A file where the vendor folder should be: no write can succeed, also as root.
    QFile blocker(storeDir->filePath("KORVANEL"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f->show();
    f->close();
    EXPECT_TRUE(f->isHidden());
    ASSERT_EQ(boxes.size(), 2u);
    for (const RecordedBox& box : boxes) {
        EXPECT_EQ(box.prompt, QStringLiteral("存储失败！"));
        EXPECT_EQ(box.title, QStringLiteral("错误："));
        EXPECT_EQ(box.style, 16);
    }
}

}  // namespace
