// Closing the Qt game, by its close box or by the end of the session, keeps a record the player
// has just set.
#include "frontend/qt/session_end.h"
#include "frontend/qt/picture_box.h"
#include "qt_test_support.h"
#include "settings/settings_store.h"
#include "support/core_test_support.h"

#include <QCoreApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <signal.h>

namespace {

class Closing : public QtWindowTest {
  protected:
    // A window with a 3 x 3 game won by real clicks, and the moves it took (a record, the store
    // being empty).
    std::unique_ptr<Form1Window> wonByClicks(int& moves) {
        const board::Map dealt = dealableNearSolved(33, 6, 3);
        const std::vector<board::Map> walk = walkHome(dealt, 33);
        auto w = window(replay(*drawsFor(dealt)));
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        for (const board::Map& next : walk)
            QTest::mouseClick(w->tile(33, blankOf(next)), Qt::LeftButton);
        moves = static_cast<int>(walk.size());
        return w;
    }
};

TEST_F(Closing, TheCloseBoxAfterAWinKeepsTheRecordAndTheClockStopped) {
    int moves = 0;
    auto w = wonByClicks(moves);
    ASSERT_EQ(prompts(), (std::vector<std::string>{"真行！你创造了新的纪录"}));
    EXPECT_FALSE(w->Timer1->isActive()) << "the clock must stop with the win";
    w->close();
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), moves);
}

class Signals : public Closing, public ::testing::WithParamInterface<int> {};

// What logout, shutdown or a closed terminal send: the record is stored before the game ends.
TEST_P(Signals, EndTheSessionAsTheCloseBoxDoes) {
    int moves = 0;
    auto w = wonByClicks(moves);
    const SessionEnd sessionEnd([&] { w->endSession(); });
    ASSERT_TRUE(sessionEnd.watching());
    ASSERT_EQ(raise(GetParam()), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return GetRegValue("Tessle", "MinStep33") == moves; }, 2000));
    EXPECT_TRUE(w->isHidden());
}

INSTANTIATE_TEST_SUITE_P(Term, Signals, ::testing::Values(SIGTERM, SIGHUP, SIGINT));

// The session may end while a modal window is open: its loop must not keep the record back, and
// a store that fails then is reported without a box to wait on.
TEST_F(Closing, TheSessionEndsThroughAnOpenModalWindow) {
    int moves = 0;
    auto w = wonByClicks(moves);
    const SessionEnd sessionEnd([&] { w->endSession(); });
    bool returned = false;
    onDialog = [&](QDialog& dialog) {
        QTimer::singleShot(0, [] { raise(SIGTERM); });
        dialog.exec();  // the real loop, which the end of the session must leave
        returned = true;
    };
    w->action(&Form1::mnuHero)->trigger();
    EXPECT_TRUE(returned);
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), moves);
    EXPECT_EQ(prompts().size(), 1u) << "no box after the win's";
}

}  // namespace
