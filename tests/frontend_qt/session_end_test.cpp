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

#include <filesystem>
#include <fstream>

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
    w->show();
    // The win stored the record already: only the session's end can store it again.
    SaveRegValue("Tessle", "MinStep33", 99999);
    const SessionEnd sessionEnd([&] { w->endSession(); });
    ASSERT_TRUE(sessionEnd.watching());
    ASSERT_EQ(raise(GetParam()), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->isHidden(); }, 2000));
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), moves);
}

INSTANTIATE_TEST_SUITE_P(Term, Signals, ::testing::Values(SIGTERM, SIGHUP, SIGINT));

// Started under nohup or as a background job: SIGHUP and SIGINT, ignored then, stay ignored.
// SIGTERM, which logout sends, ends the session even when it was ignored at start.
TEST(SessionEndSignals, OnlySigtermIsWatchedWhenAllWereIgnored) {
    constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction was[3]{};
    for (int i = 0; i < 3; ++i) ASSERT_EQ(sigaction(kSignals[i], &ignore, &was[i]), 0);
    int ends = 0;
    {
        const SessionEnd sessionEnd([&] { ++ends; });
        ASSERT_EQ(raise(SIGHUP), 0);
        ASSERT_EQ(raise(SIGINT), 0);
        QTest::qWait(100);
        EXPECT_EQ(ends, 0) << "SIGHUP or SIGINT ended the session";
        ASSERT_EQ(raise(SIGTERM), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ends == 1; }, 2000)) << "SIGTERM was ignored";
    }
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &was[i], nullptr);
}

// The session may end while a modal window is open: its loop must not keep the record back.
// Before the tests below: once the session has ended, no Qt loop runs again.
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

// The session manager's request to save ends the session too. Qt makes no session manager
// outside a desktop session: the request's route is checked, then taken.
TEST_F(Closing, TheSessionManagersRequestToSaveEndsTheSession) {
    int moves = 0;
    auto w = wonByClicks(moves);
    SaveRegValue("Tessle", "MinStep33", 99999);  // the win's own save undone
    SessionEnd sessionEnd([&] { w->endSession(); });
    EXPECT_TRUE(QObject::disconnect(qApp, &QGuiApplication::commitDataRequest, &sessionEnd,
                                    &SessionEnd::saveRequested));
    sessionEnd.saveRequested();
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), moves);
}

// A store that fails as the session ends is reported in the log, once (the second record is not
// tried after the first failed), since no box may hold the end of the session up; the close
// that follows writes nothing again.
TEST_F(Closing, AStoreThatFailsAsTheSessionEndsIsLoggedOnce) {
    int moves = 0;
    auto w = wonByClicks(moves);
    w->show();
    const std::string folder = storeDir->path().toStdString() + "/KORVANEL";
    std::filesystem::remove_all(folder);
    std::ofstream(folder).put('x');  // a file in the folder's place: no write can succeed
    const SessionEnd sessionEnd([&] { w->endSession(); });
    ASSERT_EQ(raise(SIGTERM), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->isHidden(); }, 2000));
    EXPECT_EQ(prompts().size(), 1u) << "no box after the win's";
    EXPECT_EQ(logged, (std::vector<std::string>{"存储失败！"}));
}

}  // namespace
