// What the rules ask of a front-end through the contract, beyond any one window's rules: the
// screen brought up to date before anything waits on the player, the store's failed writes
// shown by the window that lives, and only the tile surfaces that changed drawn again.
#include "game/app_info.h"
#include "settings/frm_option.h"
#include "support/core_test_support.h"

#include <vector>

namespace {

using Contract = Form1Test;

// A box or a modal window waits for the player: what the rules did before must be on screen.
TEST_F(Contract, TheScreenIsBroughtUpToDateBeforeEveryBoxAndModalWindow) {
    auto f = windowAfterAWin();
    ASSERT_EQ(boxes.size(), 1u);
    std::vector<int> seen;
    onBox = [&](const RecordedBox&) { seen.push_back(f->refreshes); };
    onModal = [&](ModalWindow&) { seen.push_back(f->refreshes); };
    int before = f->refreshes;
    f->mnuHero_Click();
    f->mnuReset_Click();  // not playing: asks nothing
    f->Command1_Click();
    f->mnuReset_Click();
    f->mnuAnswer_Click();
    ASSERT_EQ(seen.size(), 3u) << "the hall of fame, the give-up question, the solver window";
    for (const int at : seen) {
        EXPECT_GT(at, before);
        before = at;
    }
}

// The store reports a failed write to whichever window's rules live; none once they are gone.
TEST_F(Contract, AFailedStoreWriteShowsItsBoxWhileTheWindowLives) {
#ifdef _WIN32
    GTEST_SKIP() << "a file cannot block the registry";
#endif
    failStoreWrites();
    {
        auto f = window();
        SaveRegValue(kAppKey, kPTypeValue, 2);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].prompt, "存储失败！");
        EXPECT_EQ(boxes[0].title, "错误：");
        EXPECT_EQ(boxes[0].style, msgbox::kCritical);
    }
    SaveRegValue(kAppKey, kPTypeValue, 2);
    EXPECT_EQ(boxes.size(), 1u);
}

// Only the surfaces whose picture changed are drawn again; all of them after forget().
TEST_F(Contract, TileSurfacesRedrawOnlyWhatChanged) {
    auto f = window();
    TileSurfaces shown;
    EXPECT_EQ(shown.changed(*f, 33).size(), 9u);
    EXPECT_EQ(shown.changed(*f, 44).size(), 16u);
    EXPECT_TRUE(shown.changed(*f, 33).empty());
    const board::Map dealt = dealableNearSolved(33, 4, 9);
    ASSERT_FALSE(dealt.empty());
    f = windowDealing(dealt);
    shown.forget();
    EXPECT_EQ(shown.changed(*f, 33).size(), 9u);
    EXPECT_EQ(shown.changed(*f, 44).size(), 16u);
    f->Command1_Click();
    std::vector<int> moved;
    for (int cell = 0; cell < 9; ++cell) {
        if (dealt[cell] != cell) moved.push_back(cell);
    }
    EXPECT_EQ(shown.changed(*f, 33), moved);
    const int target = blankOf(walkHome(dealt, 33)[0]);
    const int blank = f->BlankCell();
    f->PicG1_Click(target);
    EXPECT_EQ(shown.changed(*f, 33),
              (std::vector<int>{std::min(target, blank), std::max(target, blank)}));
    EXPECT_TRUE(shown.changed(*f, 44).empty());
}

}  // namespace
