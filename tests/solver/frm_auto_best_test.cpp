// The hand-off to the solver window and the step viewer, driven through the main window.
#include "solver/frm_auto_best.h"
#include "solver/maker_site.h"
#include "support/core_test_support.h"

#include <functional>
#include <string>
#include <vector>

namespace {

const std::string kConfirm =
    std::string("自动求解过程要占用计算机CPU资源进行大量运算，你的其它操作可能因此变得很慢。") +
    "\r\n" + "视问题的难易不同可能会持续几分钟几十分钟，确定真要进行自动解吗？";
const std::string kTitle = "Tessle 拼图";

board::Map mapOf(const std::string& state) {
    board::Map map;
    for (const char c : state) map.push_back(static_cast<std::int16_t>(c == '0' ? 8 : c - '1'));
    return map;
}

struct Buttons {
    bool solve, prior, next;
    bool operator==(const Buttons& o) const {
        return solve == o.solve && prior == o.prior && next == o.next;
    }
};

Buttons buttons(const frmAutoBest& w) {
    return {w.CmdDo.Enabled, w.CmdPrior.Enabled, w.CmdNext.Enabled};
}

class Solver : public Form1Test {
  protected:
    // A 3 x 3 game in progress standing at `state`, reached by clicks from a deal.
    std::unique_ptr<TestForm> playingAt(const std::string& state) {
        const board::Map target = mapOf(state);
        const board::Map dealt = nearestDealable(target, 33);
        EXPECT_FALSE(dealt.empty());
        auto f = windowDealing(dealt);
        f->Command1_Click();
        playAlong(*f, walkBetween(dealt, target, 33));
        EXPECT_EQ(board::toBoardState(f->TileMap()), state);
        EXPECT_TRUE(f->IsPlaying());
        return f;
    }

    // Opens the solver window and hands it to `drive`.
    void openSolver(Form1& f, const std::function<void(frmAutoBest&)>& drive) {
        opened = false;
        onModal = [&](ModalWindow& w) {
            opened = true;
            drive(dynamic_cast<frmAutoBest&>(w));
        };
        f.mnuAnswer_Click();
    }

    bool opened = false;
};

TEST_F(Solver, BigBoardIsRefused) {
    auto f = window();
    f->mnuG44_Click();
    f->Command1_Click();
    openSolver(*f, [](frmAutoBest&) {});
    EXPECT_FALSE(opened);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "4X4模式下暂不支持此功能！");
    EXPECT_EQ(boxes[0].style, 64);
    EXPECT_EQ(boxes[0].title, kTitle);
}

TEST_F(Solver, AFinishedBigBoardSwitchedToSmallIsRefusedToo) {
    const board::Map dealt = dealableNearSolved(44, 9, 7);
    ASSERT_FALSE(dealt.empty());
    auto f = windowDealing(dealt);
    f->mnuG44_Click();
    f->Command1_Click();
    playAlong(*f, walkHome(dealt, 44));
    ASSERT_TRUE(f->IsWon);
    boxes.clear();
    f->mnuG33_Click();
    ASSERT_TRUE(f->mnuAnswer.Enabled);
    openSolver(*f, [](frmAutoBest&) {});
    EXPECT_FALSE(opened);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "4X4模式下暂不支持此功能！");
}

TEST_F(Solver, TheOneKnownUnsolvablePositionIsRefusedBeforeTheWindowOpens) {
    auto f = playingAt("123456870");
    EXPECT_EQ(f->TileMap(), (board::Map{0, 1, 2, 3, 4, 5, 7, 6, 8}));
    boxes.clear();
    openSolver(*f, [](frmAutoBest&) {});
    EXPECT_FALSE(opened);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "问题无解！");
    EXPECT_EQ(boxes[0].title, kTitle);
}

TEST_F(Solver, LoadsReadyOnThePositionHandedOver) {
    auto f = playingAt("123456708");
    openSolver(*f, [&](frmAutoBest& w) {
        EXPECT_EQ(w.STATE, "123456708");
        EXPECT_EQ(w.Caption, "显示最优移动法");
        EXPECT_EQ(buttons(w), (Buttons{true, false, false}));
        EXPECT_EQ(w.WebBrowser1.LocationURL, maker_site::loadAddress("123456708"));
    });
    EXPECT_TRUE(opened);
}

TEST_F(Solver, AnsweringNoChangesNothing) {
    auto f = playingAt("123456708");
    openSolver(*f, [&](frmAutoBest& w) {
        w.CmdDo_Click();
        EXPECT_EQ(buttons(w), (Buttons{true, false, false}));
        EXPECT_EQ(w.WebBrowser1.LocationURL, maker_site::loadAddress("123456708"));
        EXPECT_EQ(w.solver().MapList.size(), 1u);
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, kConfirm);
    EXPECT_EQ(boxes[0].style, 292);
    EXPECT_EQ(boxes[0].title, kTitle);
}

TEST_F(Solver, OneMoveFromHomeStepsToTheStartAgain) {
    auto f = playingAt("123456708");
    const board::Map before = f->TileMap();
    answers = {msgbox::kYes};
    openSolver(*f, [&](frmAutoBest& w) {
        w.CmdDo_Click();
        EXPECT_EQ(w.txtResult, "共1步，第0步");
        EXPECT_EQ(buttons(w), (Buttons{false, false, true}));
        EXPECT_EQ(w.WebBrowser1.LocationURL, maker_site::stepAddress(0, "123456708", 1));
        w.CmdNext_Click();
        EXPECT_EQ(w.txtResult, "共1步，第1步");
        EXPECT_EQ(buttons(w), (Buttons{false, true, false}));
        EXPECT_EQ(w.WebBrowser1.LocationURL, maker_site::stepAddress(1, "123456708", 1));
    });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].prompt, "自动求解完成！");
    EXPECT_EQ(boxes[1].style, 64);
    EXPECT_EQ(boxes[1].title, kTitle);
    // The solver window never changes the game.
    EXPECT_EQ(f->TileMap(), before);
    EXPECT_TRUE(f->IsPlaying());
}

TEST_F(Solver, StepsWalkTheWholeSolutionBothWays) {
    storeValue("PType", 3);
    auto f = playingAt("023156478");
    answers = {msgbox::kYes};
    openSolver(*f, [&](frmAutoBest& w) {
        w.CmdDo_Click();
        const std::string atStart = w.WebBrowser1.LocationURL;
        EXPECT_EQ(atStart, maker_site::stepAddress(0, "023156478", 3));
        const std::vector<std::string> steps{"023156478", "123056478", "123456078", "123456708"};
        for (int k = 1; k <= 3; ++k) {
            w.CmdNext_Click();
            EXPECT_EQ(w.WebBrowser1.LocationURL, maker_site::stepAddress(k, steps[k], 3));
            EXPECT_EQ(w.txtResult, "共3步，第" + std::to_string(k) + "步");
            EXPECT_EQ(buttons(w), (Buttons{false, true, k < 3}));
        }
        w.CmdNext_Click();  // disabled at the last step: a stray call changes nothing
        EXPECT_EQ(w.CurStep(), 3);
        for (int k = 2; k >= 0; --k) {
            w.CmdPrior_Click();
            EXPECT_EQ(w.WebBrowser1.LocationURL, maker_site::stepAddress(k, steps[k], 3));
            EXPECT_EQ(buttons(w), (Buttons{false, k > 0, true}));
        }
        EXPECT_EQ(w.WebBrowser1.LocationURL, atStart);
    });
    EXPECT_TRUE(opened);
}

TEST_F(Solver, AnUnsolvablePositionEndsWithTheNoSolutionPage) {
    // Blank one move from home with the tiles in order: the other half of the positions.
    auto f = playingAt("123456807");
    answers = {msgbox::kYes};
    std::string pageAtNoSolution;
    openSolver(*f, [&](frmAutoBest& w) {
        onBox = [&](const RecordedBox& box) {
            if (box.prompt == "问题无解！") pageAtNoSolution = w.WebBrowser1.LocationURL;
        };
        w.CmdDo_Click();
        EXPECT_EQ(buttons(w), (Buttons{false, false, false}));
        EXPECT_EQ(w.solver().MapList.size(), 181440u);
    });
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].prompt, kConfirm);
    EXPECT_EQ(boxes[1].prompt, "自动求解完成！");
    EXPECT_EQ(boxes[2].prompt, "问题无解！");
    EXPECT_EQ(boxes[2].title, kTitle);
    EXPECT_EQ(pageAtNoSolution, maker_site::noSolutionAddress());
}

TEST_F(Solver, AfterAWinTheSolvedBoardIsHandedOver) {
    auto f = windowAfterAWin();
    ASSERT_TRUE(f->IsWon);
    ASSERT_TRUE(f->mnuAnswer.Enabled);
    answers = {msgbox::kYes};
    openSolver(*f, [&](frmAutoBest& w) {
        EXPECT_EQ(w.STATE, "123456780");
        w.CmdDo_Click();
        EXPECT_EQ(w.txtResult, "共1步，第0步");
        w.CmdNext_Click();
        EXPECT_EQ(w.WebBrowser1.LocationURL, maker_site::stepAddress(1, "123450786", 1));
    });
    EXPECT_TRUE(opened);
}

TEST_F(Solver, EachOpeningStartsAfresh) {
    auto f = playingAt("123456708");
    answers = {msgbox::kYes};
    openSolver(*f, [&](frmAutoBest& w) { w.CmdDo_Click(); });
    f->PicG1_Click(8);  // completes the picture
    ASSERT_TRUE(f->IsWon);
    openSolver(*f, [&](frmAutoBest& w) {
        EXPECT_EQ(w.STATE, "123456780");
        EXPECT_EQ(buttons(w), (Buttons{true, false, false}));
        EXPECT_EQ(w.solver().MapList.size(), 1u);
        EXPECT_EQ(w.txtResult, "");
    });
}

// The solver window's page view draws each page with this picture.
TEST_F(Solver, PagesAreDrawnWithThePictureTheyNameElseThePictureInPlay) {
    const std::string load = maker_site::loadAddress("023156478");
    const std::string step = maker_site::stepAddress(0, "023156478", 1);
    struct Case {
        std::string address;
        int inPlay;
        int want;
    } const cases[] = {
        // The start page names none: the picture in play, 5 being picture 1 cut for 4 x 4.
        {load, 1, 1},
        {load, 2, 2},
        {load, 3, 3},
        {load, 4, 4},
        {load, 5, 1},
        // A step page names its own, an explicit 1 included.
        {step, 4, 1},
        {maker_site::stepAddress(0, "023156478", 3), 1, 3},
        {maker_site::stepAddress(2, "123056478", 2), 4, 2},
        {maker_site::stepAddress(3, "123456078", 4), 5, 4},
        {maker_site::stepAddress(1, "123056478", 5), 3, 1},
    };
    auto f = window();
    frmAutoBest w(*f);
    for (const Case& c : cases) {
        f->PicType = c.inPlay;
        EXPECT_EQ(w.pagePicture(maker_site::parse(c.address)), c.want)
            << c.address << " with picture " << c.inPlay << " in play";
    }
}

}  // namespace
