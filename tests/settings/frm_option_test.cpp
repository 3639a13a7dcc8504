// The options window in its three modes, driven through the main window's menu commands.
#include "settings/frm_option.h"
#include "support/core_test_support.h"

#include <array>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

FrmOption& asOptions(ModalWindow& w) {
    return dynamic_cast<FrmOption&>(w);
}

class Options : public Form1Test {
  protected:
    // A 3 x 3 game dealt, the clock run once and won: every counter the next GameInit clears
    // is set, and the record is this run's.
    std::unique_ptr<TestForm> wonGame() {
        const board::Map dealt = dealableNearSolved(33, 4, 9);
        EXPECT_FALSE(dealt.empty());
        auto f = windowDealing(dealt);
        f->Command1_Click();
        f->Timer1_Timer();
        playAlong(*f, walkHome(dealt, 33));
        EXPECT_TRUE(f->IsWon);
        return f;
    }
};

struct ModeCase {
    int command;  // 1 hall of fame, 3 about
    const char* caption;
};

class AboutModes : public Form1Test, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(AboutModes, ShowTheAboutPanelWithTheRecords) {
    storeValue("MinStep33", 31);
    auto f = window();
    // The picture panel first: the window is kept between openings, so the about panel must
    // move both panels itself.
    f->mnuBG_Click();
    bool checked = false;
    onModal = [&](ModalWindow& w) {
        FrmOption& o = asOptions(w);
        EXPECT_EQ(o.Caption, GetParam().caption);
        EXPECT_EQ(o.PicAbout.Left, 0);
        EXPECT_EQ(o.PicAbout.Top, 0);
        EXPECT_EQ(o.PicOption.Left, kOutOfView);
        EXPECT_EQ(o.Lbl33Champion, "3 X 3 共移动：31");
        EXPECT_EQ(o.Lbl44Champion, "4 X 4 共移动：99999");
        o.CmdOK2_Click();
        EXPECT_EQ(unloadedWindows, 1);
        checked = true;
    };
    if (GetParam().command == 1) {
        f->mnuHero_Click();
    } else {
        f->mnuAbout_Click();
    }
    EXPECT_TRUE(checked);
}

INSTANTIATE_TEST_SUITE_P(Both, AboutModes,
                         ::testing::Values(ModeCase{1, "拼图英雄榜"}, ModeCase{3, "Abot..."}));

// The record is stored the moment it is set, not only at the close: a crash after the win loses
// nothing.
TEST_F(Options, HallOfFameShowsARecordOfThisRunThatIsStoredAtOnce) {
    int moves = 0;
    auto f = windowAfterAWin(&moves);
    ASSERT_TRUE(f->IsWon);
    std::string line;
    onModal = [&](ModalWindow& w) { line = asOptions(w).Lbl33Champion; };
    f->mnuHero_Click();
    EXPECT_EQ(line, "3 X 3 共移动：" + std::to_string(moves));
    EXPECT_EQ(storedValue("MinStep33"), moves);
}

TEST_F(Options, EveryOpeningLoadsCurrentValues) {
    auto f = window();
    std::vector<std::string> lines;
    onModal = [&](ModalWindow& w) { lines.push_back(asOptions(w).Lbl44Champion); };
    f->mnuHero_Click();
    f->MinStep44 = 77;
    f->mnuAbout_Click();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "4 X 4 共移动：99999");
    EXPECT_EQ(lines[1], "4 X 4 共移动：77");
}

struct ThumbCase {
    int index;
    int gameType;
    int wantPicType;
    int wantStored;
};

class Thumbnails : public Options, public ::testing::WithParamInterface<ThumbCase> {};

TEST_P(Thumbnails, ChoosingOneStoresItAndRedrawsTheBoard) {
    const auto& c = GetParam();
    // A finished game first: the choice must also clear its displays.
    auto f = wonGame();
    if (c.gameType == 44) f->mnuG44_Click();
    onModal = [&](ModalWindow& w) {
        FrmOption& o = asOptions(w);
        EXPECT_EQ(o.Caption, "Backdrop");
        EXPECT_EQ(o.PicAbout.Left, kOutOfView);
        EXPECT_EQ(o.PicOption.Left, 0);
        // Picture k + 1 in thumbnail k, also on the big board, which plays picture 1 as 5.
        EXPECT_EQ(o.ImgBG, (std::array<int, 4>{1, 2, 3, 4}));
        o.ImgBG_Click(static_cast<std::int16_t>(c.index));
    };
    f->mnuBG_Click();
    EXPECT_EQ(unloadedWindows, 1);
    EXPECT_EQ(f->PicType, c.wantPicType);
    EXPECT_EQ(storedValue("PTYPE"), c.wantStored);
    EXPECT_TRUE(boardShows(*f, solved(c.gameType), c.wantPicType));
    EXPECT_TRUE(showsDigits(f->step, "0"));
    EXPECT_TRUE(showsDigits(f->time, "0"));
    EXPECT_FALSE(f->IsChampion);
    EXPECT_FALSE(f->mnuAnswer.Enabled);
    EXPECT_EQ(storeErrors, 0);
}

INSTANTIATE_TEST_SUITE_P(BothBoards, Thumbnails,
                         ::testing::Values(ThumbCase{0, 33, 1, 1}, ThumbCase{1, 33, 2, 2},
                                           ThumbCase{2, 33, 3, 3}, ThumbCase{3, 33, 4, 4},
                                           ThumbCase{0, 44, 5, 1}, ThumbCase{1, 44, 2, 2},
                                           ThumbCase{2, 44, 3, 3}, ThumbCase{3, 44, 4, 4}));

// The web store has no file: the values compared hold all it keeps.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
#endif

TEST_F(Options, ClosingThePicturePanelChangesNothing) {
    storeValue("PType", 3);
    auto f = wonGame();
    ASSERT_TRUE(f->IsChampion);
    // Another game on this machine chose picture 2 meanwhile: any write of this game's
    // picture, or of anything else, shows in the file.
    storeValue("PType", 2);
    const auto stored = [this] {
        return std::vector<int>{storedValue("MinStep33"), storedValue("MinStep44"),
                                storedValue("PTYPE")};
    };
    const std::vector<int> storedBefore = stored();
    ASSERT_EQ(storedBefore[2], 2);
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
    const std::string storeFile = storeDir + "/KORVANEL/Tessle.ini";
    const std::string fileBefore = fileText(storeFile);
#endif
    const auto tilesBefore = f->PicG1;
    const int steps = f->LngStep;
    ASSERT_GT(steps, 0);
    ASSERT_EQ(f->LngTime, 1);
    f->mnuOption_Click();
    ASSERT_TRUE(f->mnuBG.Enabled);
    boxes.clear();  // the win's

    bool shown = false;
    onModal = [&](ModalWindow& w) {
        shown = asOptions(w).PicOption.Left == 0;
        // Indexes beside the four thumbnails choose nothing; then the close box, where no
        // handler runs.
        for (const std::int16_t index : {-1, 4, 5}) asOptions(w).ImgBG_Click(index);
    };
    f->mnuBG_Click();
    ASSERT_TRUE(shown);
    EXPECT_EQ(unloadedWindows, 0);
    EXPECT_EQ(f->PicType, 3);
    EXPECT_EQ(f->PicG1, tilesBefore);
    EXPECT_TRUE(boardShows(*f, solved(33), 3));
    EXPECT_EQ(stored(), storedBefore);
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
    EXPECT_EQ(fileText(storeFile), fileBefore);
#endif
    EXPECT_EQ(f->LngStep, steps);
    EXPECT_EQ(f->LngTime, 1);
    EXPECT_TRUE(showsDigits(f->step, std::to_string(steps)));
    EXPECT_TRUE(showsDigits(f->time, "1"));
    EXPECT_TRUE(f->IsWon);
    EXPECT_TRUE(f->IsChampion);
    EXPECT_EQ(f->MinStep33, steps);
    EXPECT_TRUE(f->mnuAnswer.Enabled);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Options, AFailedStoreWriteStillChangesThePictureAndCloses) {
#ifdef _WIN32
    GTEST_SKIP() << "blocks the file store's folder; the registry store has its own tests";
#endif
    auto f = window();
    failStoreWrites();
    onModal = [&](ModalWindow& w) { asOptions(w).ImgBG_Click(2); };
    f->mnuBG_Click();
    EXPECT_EQ(unloadedWindows, 1);
    EXPECT_EQ(f->PicType, 3);
    EXPECT_TRUE(boardShows(*f, solved(33), 3));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "存储失败！");
    EXPECT_EQ(storeErrors, 1);
}

TEST_F(Options, MailIconOpensAMailToTheMakerAndStaysOpen) {
    auto f = window();
    int unloadedByMail = -1;
    onModal = [&](ModalWindow& w) {
        FrmOption& o = asOptions(w);
        o.Image5_Click();
        unloadedByMail = unloadedWindows;
        o.CmdOK2_Click();
    };
    f->mnuAbout_Click();
    EXPECT_EQ(unloadedByMail, 0);
    EXPECT_EQ(unloadedWindows, 1);
    ASSERT_EQ(addresses.size(), 1u);
    EXPECT_EQ(addresses[0].rfind("mailto:", 0), 0u);
}

}  // namespace
