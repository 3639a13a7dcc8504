// The hand-off to the solver window and the step viewer, driven through the main window.
#include "solver/frm_auto_best.h"
#include "platform/page_view.h"
#include "solver/maker_site.h"
#include "solver/site_pages.h"
#include "support/game_test_support.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kConfirm =
    QStringLiteral("自动求解过程要占用计算机CPU资源进行大量运算，你的其它操作可能因此变得很慢。") +
    "\r\n" + QStringLiteral("视问题的难易不同可能会持续几分钟几十分钟，确定真要进行自动解吗？");
const QString kTitle = QStringLiteral("Tessle 拼图");

board::Map mapOf(const std::string& state) {
    board::Map map;
    for (const char c : state) map.push_back(static_cast<std::int16_t>(c == '0' ? 8 : c - '1'));
    return map;
}

QString address(const std::string& a) {
    return QString::fromStdString(a);
}

struct Buttons {
    bool solve, prior, next;
    bool operator==(const Buttons& o) const {
        return solve == o.solve && prior == o.prior && next == o.next;
    }
};

Buttons buttons(const frmAutoBest& w) {
    return {w.CmdDo->isEnabled(), w.CmdPrior->isEnabled(), w.CmdNext->isEnabled()};
}

class Solver : public Form1Test {
  protected:
    // A 3 x 3 game in progress standing at `state`, reached by clicks from a deal.
    std::unique_ptr<Form1> playingAt(const std::string& state) {
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
        onModal = [&](QDialog& w) {
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
    EXPECT_EQ(boxes[0].prompt, QStringLiteral("4X4模式下暂不支持此功能！"));
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
    ASSERT_TRUE(f->mnuAnswer->isEnabled());
    openSolver(*f, [](frmAutoBest&) {});
    EXPECT_FALSE(opened);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, QStringLiteral("4X4模式下暂不支持此功能！"));
}

TEST_F(Solver, TheOneKnownUnsolvablePositionIsRefusedBeforeTheWindowOpens) {
    auto f = playingAt("123456870");
    EXPECT_EQ(f->TileMap(), (board::Map{0, 1, 2, 3, 4, 5, 7, 6, 8}));
    boxes.clear();
    openSolver(*f, [](frmAutoBest&) {});
    EXPECT_FALSE(opened);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, QStringLiteral("问题无解！"));
    EXPECT_EQ(boxes[0].title, kTitle);
}

TEST_F(Solver, LoadsReadyOnThePositionHandedOver) {
    auto f = playingAt("123456708");
    openSolver(*f, [&](frmAutoBest& w) {
        EXPECT_EQ(w.STATE, "123456708");
        EXPECT_EQ(w.windowTitle(), QStringLiteral("显示最优移动法"));
        EXPECT_EQ(buttons(w), (Buttons{true, false, false}));
        EXPECT_EQ(w.WebBrowser1->LocationURL(), address(maker_site::loadAddress("123456708")));
        EXPECT_EQ(w.CmdDo->text(), QStringLiteral("自动求解"));
        EXPECT_EQ(w.CmdPrior->text(), QStringLiteral("上一步"));
        EXPECT_EQ(w.CmdNext->text(), QStringLiteral("下一步"));
    });
    EXPECT_TRUE(opened);
}

TEST_F(Solver, AnsweringNoChangesNothing) {
    auto f = playingAt("123456708");
    openSolver(*f, [&](frmAutoBest& w) {
        w.CmdDo_Click();
        EXPECT_EQ(buttons(w), (Buttons{true, false, false}));
        EXPECT_EQ(w.WebBrowser1->LocationURL(), address(maker_site::loadAddress("123456708")));
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
        EXPECT_EQ(w.txtResult->text(), QStringLiteral("共1步，第0步"));
        EXPECT_EQ(buttons(w), (Buttons{false, false, true}));
        EXPECT_EQ(w.WebBrowser1->LocationURL(),
                  address(maker_site::stepAddress(0, "123456708", 1)));
        w.CmdNext_Click();
        EXPECT_EQ(w.txtResult->text(), QStringLiteral("共1步，第1步"));
        EXPECT_EQ(buttons(w), (Buttons{false, true, false}));
        EXPECT_EQ(w.WebBrowser1->LocationURL(),
                  address(maker_site::stepAddress(1, "123456708", 1)));
    });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].prompt, QStringLiteral("自动求解完成！"));
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
        const QString atStart = w.WebBrowser1->LocationURL();
        EXPECT_EQ(atStart, address(maker_site::stepAddress(0, "023156478", 3)));
        const std::vector<std::string> steps{"023156478", "123056478", "123456078", "123456708"};
        for (int k = 1; k <= 3; ++k) {
            w.CmdNext_Click();
            EXPECT_EQ(w.WebBrowser1->LocationURL(),
                      address(maker_site::stepAddress(k, steps[k], 3)));
            EXPECT_EQ(w.txtResult->text(), QString("共3步，第%1步").arg(k));
            EXPECT_EQ(buttons(w), (Buttons{false, true, k < 3}));
        }
        w.CmdNext_Click();  // disabled at the last step: a stray call changes nothing
        EXPECT_EQ(w.CurStep(), 3);
        for (int k = 2; k >= 0; --k) {
            w.CmdPrior_Click();
            EXPECT_EQ(w.WebBrowser1->LocationURL(),
                      address(maker_site::stepAddress(k, steps[k], 3)));
            EXPECT_EQ(buttons(w), (Buttons{false, k > 0, true}));
        }
        EXPECT_EQ(w.WebBrowser1->LocationURL(), atStart);
    });
    EXPECT_TRUE(opened);
}

TEST_F(Solver, AnUnsolvablePositionEndsWithTheNoSolutionPage) {
    // Blank one move from home with the tiles in order: the other half of the positions.
    auto f = playingAt("123456807");
    answers = {msgbox::kYes};
    QString pageAtNoSolution;
    openSolver(*f, [&](frmAutoBest& w) {
        onBox = [&](const RecordedBox& box) {
            if (box.prompt == QStringLiteral("问题无解！"))
                pageAtNoSolution = w.WebBrowser1->LocationURL();
        };
        w.CmdDo_Click();
        EXPECT_EQ(buttons(w), (Buttons{false, false, false}));
        EXPECT_EQ(w.solver().MapList.size(), 181440u);
    });
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].prompt, kConfirm);
    EXPECT_EQ(boxes[1].prompt, QStringLiteral("自动求解完成！"));
    EXPECT_EQ(boxes[2].prompt, QStringLiteral("问题无解！"));
    EXPECT_EQ(boxes[2].title, kTitle);
    EXPECT_EQ(pageAtNoSolution, address(maker_site::noSolutionAddress()));
}

TEST_F(Solver, AfterAWinTheSolvedBoardIsHandedOver) {
    auto f = windowAfterAWin();
    ASSERT_TRUE(f->IsWon);
    ASSERT_TRUE(f->mnuAnswer->isEnabled());
    answers = {msgbox::kYes};
    openSolver(*f, [&](frmAutoBest& w) {
        EXPECT_EQ(w.STATE, "123456780");
        w.CmdDo_Click();
        EXPECT_EQ(w.txtResult->text(), QStringLiteral("共1步，第0步"));
        w.CmdNext_Click();
        EXPECT_EQ(w.WebBrowser1->LocationURL(),
                  address(maker_site::stepAddress(1, "123450786", 1)));
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
        EXPECT_EQ(w.txtResult->text(), QString());
    });
}

// The cell of a rendered board page, where the page draws it.
QImage pageCell(const QImage& page, int cell) {
    const int step = site_pages::kTile + site_pages::kGap;
    return page.copy(site_pages::kGap + (cell % 3) * step, site_pages::kGap + (cell / 3) * step,
                     site_pages::kTile, site_pages::kTile);
}

struct PageCase {
    std::string position;
    int picture;
};

class Pages : public Form1Test, public ::testing::WithParamInterface<PageCase> {};

TEST_P(Pages, ShowTheBoardOfThePositionWithThePictureInPlay) {
    const auto& c = GetParam();
    auto f = window();
    PageView view;
    view.setRenderer([&](const QString& a) {
        return site_pages::render(
            a, [&](int p) -> const QImage& { return f->ImageList1().ListImage(p); });
    });
    view.Navigate(address(maker_site::stepAddress(4, c.position, c.picture)));
    const QImage page = view.pageImage();
    ASSERT_FALSE(page.isNull());
    const QImage& picture = f->ImageList1().ListImage(c.picture);
    for (int cell = 0; cell < 9; ++cell) {
        const char ch = c.position[cell];
        QImage want;
        if (ch == '0') {
            want = QImage(site_pages::kTile, site_pages::kTile, QImage::Format_RGB32);
            want.fill(Qt::white);
        } else {
            const int t = ch - '1';
            want = picture.copy((t % 3) * 69, (t / 3) * 69, 69, 69);
        }
        EXPECT_TRUE(sameImage(pageCell(page, cell), want)) << c.position << " cell " << cell;
    }
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("第4步")));
}

INSTANTIATE_TEST_SUITE_P(Positions, Pages,
                         ::testing::Values(PageCase{"023156478", 1}, PageCase{"867254301", 2},
                                           PageCase{"123456780", 4}));

TEST_F(Solver, MalformedAndNoSolutionPagesShowNoBoard) {
    auto f = window();
    PageView view;
    view.setRenderer([&](const QString& a) {
        return site_pages::render(
            a, [&](int p) -> const QImage& { return f->ImageList1().ListImage(p); });
    });
    view.Navigate(address(maker_site::noSolutionAddress()));
    EXPECT_TRUE(view.pageImage().isNull());
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("问题无解")));
    view.Navigate("https://tessle.korvanel.example/soft/tessle.asp?Step=0&Map=99");
    EXPECT_TRUE(view.pageImage().isNull());
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("无法显示此页")));
    EXPECT_EQ(view.LocationURL(), "https://tessle.korvanel.example/soft/tessle.asp?Step=0&Map=99");
}

}  // namespace
