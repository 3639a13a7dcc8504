// The options window in its three modes, driven through the main window's menu commands.
#include "settings/frm_option.h"
#include "platform/image_control.h"
#include "support/game_test_support.h"

#include <QLabel>
#include <QPushButton>

namespace {

using Options = Form1Test;

FrmOption& asOptions(QDialog& w) {
    return dynamic_cast<FrmOption&>(w);
}

struct ModeCase {
    int command;  // 1 hall of fame, 3 about
    const char* caption;
};

class AboutModes : public Form1Test, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(AboutModes, ShowTheAboutPanelWithTheRecords) {
    storeValue("MinStep33", 31);
    auto f = window();
    bool checked = false;
    onModal = [&](QDialog& w) {
        FrmOption& o = asOptions(w);
        EXPECT_EQ(o.windowTitle(), QString::fromUtf8(GetParam().caption));
        EXPECT_FALSE(o.PicAbout->isHidden());
        EXPECT_EQ(o.PicAbout->pos(), QPoint(0, 0));
        EXPECT_TRUE(o.PicOption->isHidden());
        EXPECT_EQ(o.Label1->text(), QStringLiteral("冠军："));
        EXPECT_EQ(o.Lbl33Champion->text(), QStringLiteral("3 X 3 共移动：31"));
        EXPECT_EQ(o.Lbl44Champion->text(), QStringLiteral("4 X 4 共移动：99999"));
        EXPECT_FALSE(o.LblAbout->text().isEmpty());
        o.CmdOK2->click();
        EXPECT_TRUE(o.isHidden());
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

TEST_F(Options, HallOfFameShowsARecordOfThisRunBeforeItIsWritten) {
    int moves = 0;
    auto f = windowAfterAWin(&moves);
    ASSERT_TRUE(f->IsWon);
    QString line;
    onModal = [&](QDialog& w) { line = asOptions(w).Lbl33Champion->text(); };
    f->mnuHero_Click();
    EXPECT_EQ(line, QStringLiteral("3 X 3 共移动：") + QString::number(moves));
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), 0);
}

TEST_F(Options, EveryOpeningLoadsCurrentValues) {
    auto f = window();
    std::vector<QString> lines;
    onModal = [&](QDialog& w) { lines.push_back(asOptions(w).Lbl44Champion->text()); };
    f->mnuHero_Click();
    f->MinStep44 = 77;
    f->mnuAbout_Click();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], QStringLiteral("4 X 4 共移动：99999"));
    EXPECT_EQ(lines[1], QStringLiteral("4 X 4 共移动：77"));
}

struct ThumbCase {
    int index;
    int gameType;
    int wantPicType;
    int wantStored;
};

class Thumbnails : public Form1Test, public ::testing::WithParamInterface<ThumbCase> {};

TEST_P(Thumbnails, ChoosingOneStoresItAndRedrawsTheBoard) {
    const auto& c = GetParam();
    const board::Map dealt = dealableNearSolved(33, 4, 9);
    ASSERT_FALSE(dealt.empty());
    auto f = windowDealing(dealt);
    // A finished game first: the choice must also clear its displays.
    f->Command1_Click();
    f->Timer1_Timer();
    playAlong(*f, walkHome(dealt, 33));
    if (c.gameType == 44) f->mnuG44_Click();
    bool closed = false;
    onModal = [&](QDialog& w) {
        FrmOption& o = asOptions(w);
        EXPECT_EQ(o.windowTitle(), QStringLiteral("Backdrop"));
        EXPECT_TRUE(o.PicAbout->isHidden());
        EXPECT_FALSE(o.PicOption->isHidden());
        o.ImgBG_Click(static_cast<std::int16_t>(c.index));
        closed = o.isHidden();
    };
    f->mnuBG_Click();
    EXPECT_TRUE(closed);
    EXPECT_EQ(f->PicType, c.wantPicType);
    EXPECT_EQ(GetRegValue("Tessle", "PTYPE"), c.wantStored);
    EXPECT_TRUE(boardShows(*f, solved(c.gameType), c.wantPicType));
    EXPECT_TRUE(showsDigits(*f->PicStep, "0"));
    EXPECT_TRUE(showsDigits(*f->PicTime, "0"));
    EXPECT_FALSE(f->IsChampion);
    EXPECT_FALSE(f->mnuAnswer->isEnabled());
    EXPECT_EQ(storeErrors, 0);
}

INSTANTIATE_TEST_SUITE_P(BothBoards, Thumbnails,
                         ::testing::Values(ThumbCase{0, 33, 1, 1}, ThumbCase{1, 33, 2, 2},
                                           ThumbCase{2, 33, 3, 3}, ThumbCase{3, 33, 4, 4},
                                           ThumbCase{0, 44, 5, 1}, ThumbCase{1, 44, 2, 2},
                                           ThumbCase{2, 44, 3, 3}, ThumbCase{3, 44, 4, 4}));

TEST_F(Options, ThumbnailsSitWhereThePlayerExpectsThem) {
    auto f = window();
    onModal = [&](QDialog& w) {
        FrmOption& o = asOptions(w);
        // ImgBG(3) top left, (1) top right, (2) bottom left, (0) bottom right.
        EXPECT_EQ(o.ImgBG[3]->pos(), QPoint(12, 12));
        EXPECT_EQ(o.ImgBG[1]->pos(), QPoint(114, 12));
        EXPECT_EQ(o.ImgBG[2]->pos(), QPoint(12, 117));
        EXPECT_EQ(o.ImgBG[0]->pos(), QPoint(114, 117));
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(o.ImgBG[k]->size(), QSize(80, 80));
            EXPECT_EQ(o.ImgBG[k]->cursor().shape(), Qt::PointingHandCursor);
            // Each shows picture k + 1, also on the big board.
            const QImage want = f->ImageList1().ListImage(k + 1).scaled(
                80, 80, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            EXPECT_TRUE(sameImage(o.ImgBG[k]->pixmap().toImage(), want)) << k;
        }
        o.reject();
    };
    f->mnuG44_Click();
    f->mnuBG_Click();
}

TEST_F(Options, ClosingThePicturePanelChangesNothing) {
    storeValue("PType", 3);
    auto f = window();
    onModal = [](QDialog& w) { w.close(); };
    f->mnuBG_Click();
    EXPECT_EQ(f->PicType, 3);
    EXPECT_EQ(GetRegValue("Tessle", "PTYPE"), 3);
    EXPECT_TRUE(boardShows(*f, solved(33), 3));
}

TEST_F(Options, AFailedStoreWriteStillChangesThePictureAndCloses) {
    auto f = window();
    QFile blocker(storeDir->filePath("KORVANEL"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    bool closed = false;
    onModal = [&](QDialog& w) {
        asOptions(w).ImgBG_Click(2);
        closed = w.isHidden();
    };
    f->mnuBG_Click();
    EXPECT_TRUE(closed);
    EXPECT_EQ(f->PicType, 3);
    EXPECT_TRUE(boardShows(*f, solved(33), 3));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, QStringLiteral("存储失败！"));
    EXPECT_EQ(storeErrors, 1);
}

TEST_F(Options, MailIconOpensAMailToTheMakerAndStaysOpen) {
    auto f = window();
    bool open = false;
    onModal = [&](QDialog& w) {
        FrmOption& o = asOptions(w);
        o.show();
        o.Image5_Click();
        open = o.isVisible();
        o.CmdOK2_Click();
    };
    f->mnuAbout_Click();
    EXPECT_TRUE(open);
    ASSERT_EQ(addresses.size(), 1u);
    EXPECT_TRUE(addresses[0].startsWith("mailto:"));
}

}  // namespace
