// The Qt main window and its dialogs: placement, real events reaching the rules, the real
// message box, focus and drawing. The rules themselves are tested in the core.
#include "frontend/qt/frm_auto_best_window.h"
#include "frontend/qt/frm_option_window.h"
#include "frontend/qt/image_control.h"
#include "frontend/qt/page_view.h"
#include "frontend/qt/picture_box.h"
#include "frontend/qt/qt_seams.h"
#include "frontend/qt/site_pages.h"
#include "qt_test_support.h"
#include "settings/frm_option.h"
#include "solver/frm_auto_best.h"
#include "support/core_test_support.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

using Window = QtWindowTest;

QStringList captions(const QList<QAction*>& actions) {
    QStringList out;
    for (const QAction* a : actions) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QMenu* menuNamed(QMenuBar* bar, const QString& caption) {
    for (QAction* a : bar->actions())
        if (a->text() == caption) return a->menu();
    return nullptr;
}

// Literal pixels, so a wrong twips table or a wrong conversion both show.
TEST_F(Window, EverySurfaceSitsWhereItsTwipsSay) {
    auto w = window();
    EXPECT_EQ(w->PicStep_->geometry(), QRect(8, 0, 57, 29));
    EXPECT_EQ(w->Command1->geometry(), QRect(92, 0, 33, 29));
    EXPECT_EQ(w->PicTime_->geometry(), QRect(168, 0, 53, 29));
    EXPECT_EQ(w->Pic33->pos(), QPoint(5, 32));
    const int at33[3] = {0, 72, 144};
    for (int cell = 0; cell < 9; ++cell) {
        EXPECT_EQ(w->PicG1[cell]->geometry(), QRect(at33[cell % 3], at33[cell / 3], 73, 73))
            << "3 x 3 cell " << cell;
    }
    const int at44[4] = {0, 54, 108, 162};
    for (int cell = 0; cell < 16; ++cell) {
        EXPECT_EQ(w->PicG2[cell]->geometry(), QRect(at44[cell % 4], at44[cell / 4], 55, 55))
            << "4 x 4 cell " << cell;
    }
    EXPECT_EQ(w->Command1->iconSize(), QSize(28, 28));
    EXPECT_EQ(w->centralWidget()->width(), 223);
    EXPECT_EQ(w->centralWidget()->height() + w->statusBar()->height(), 274);
    EXPECT_EQ(w->StatusBar1->text(), QStringLiteral("聪明在市场上买不到。"));
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Tessle 拼图"));
}

TEST_F(Window, MenuBarIsBuiltFromTheTableAndOpeningAMenuRefreshesIt) {
    auto w = window();
    QMenuBar* bar = w->menuBar();
    EXPECT_EQ(captions(bar->actions()), (QStringList{"游戏", "选项", "&帮助", "好东东！"}));
    QMenu* game = menuNamed(bar, "游戏");
    QMenu* options = menuNamed(bar, "选项");
    ASSERT_TRUE(game && options && menuNamed(bar, "&帮助"));
    EXPECT_EQ(captions(game->actions()),
              (QStringList{"开局(&N)", "结束(&E)", "-", "英雄榜(&S)", "-", "退出游戏(&X)"}));
    EXPECT_EQ(captions(options->actions()), (QStringList{"难度(&L)", "背景(&P)..."}));
    EXPECT_EQ(captions(options->actions()[0]->menu()->actions()), (QStringList{"3 X 3", "4 X 4"}));
    EXPECT_EQ(captions(menuNamed(bar, "&帮助")->actions()),
              (QStringList{"自动求解", "-", "关于(&A)"}));
    EXPECT_EQ(bar->actions()[3]->menu(), nullptr);  // a command on the bar itself

    QAction* reset = game->actions()[1];
    QAction* size33 = w->action(&Form1::mnuG33);
    emit game->aboutToShow();
    emit options->aboutToShow();
    EXPECT_FALSE(reset->isEnabled());
    EXPECT_TRUE(size33->isChecked());
    EXPECT_FALSE(w->action(&Form1::mnuAnswer)->isEnabled());

    w->action(&Form1::mnuStart)->trigger();  // deals
    EXPECT_TRUE(w->action(&Form1::mnuAnswer)->isEnabled()) << "the deal's state reaches the menu";
    emit game->aboutToShow();
    emit options->aboutToShow();
    EXPECT_TRUE(reset->isEnabled());
    EXPECT_FALSE(options->actions()[0]->isEnabled());

    answers = {msgbox::kYes};
    reset->trigger();
    EXPECT_FALSE(w->core().IsPlaying());
    w->action(&Form1::mnuG44)->trigger();
    EXPECT_TRUE(w->action(&Form1::mnuG44)->isChecked());
    EXPECT_FALSE(size33->isChecked());
    EXPECT_TRUE(w->Pic33->isHidden());
    EXPECT_FALSE(w->Pic44->isHidden());
    EXPECT_EQ(w->Pic44->x(), 5);
}

// Real mouse clicks on the surfaces walk a dealt game home: each click must reach its own cell.
TEST_F(Window, MouseClicksOnTileSurfacesReachTheirOwnCells) {
    for (const int gameType : {33, 44}) {
        const board::Map dealt =
            gameType == 33 ? dealableNearSolved(33, 6, 3) : dealableNearSolved(44, 9, 7);
        ASSERT_FALSE(dealt.empty());
        auto w = window(replay(*drawsFor(dealt)));
        if (gameType == 44) w->action(&Form1::mnuG44)->trigger();
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        ASSERT_EQ(w->core().TileMap(), dealt);
        for (const board::Map& next : walkHome(dealt, gameType)) {
            const int cell = blankOf(next);
            QTest::mouseClick(w->tile(gameType, cell), Qt::LeftButton);
            ASSERT_EQ(w->core().TileMap(), next) << "click on cell " << cell;
        }
        EXPECT_TRUE(w->core().IsWon);
        EXPECT_EQ(prompts().size(), gameType == 33 ? 1u : 2u) << "one box per won game";
    }
}

TEST_F(Window, TilesAreDrawnFromTheirSlicesAndMovesRedrawThem) {
    const board::Map dealt = dealableNearSolved(33, 4, 9);
    ASSERT_FALSE(dealt.empty());
    auto w = window(replay(*drawsFor(dealt)));
    const QImage& picture = w->ImageList1().ListImage(1);
    const auto slice = [&](int t) {
        PictureBox probe;
        probe.resize(w->tile(33, 0)->size());
        probe.paintPicture(picture, (t % 3) * 69, (t / 3) * 69, 69, 69);
        return probe.image();
    };
    const auto blank = [&] {
        PictureBox probe;
        probe.resize(w->tile(33, 0)->size());
        probe.setPicture(QImage());
        return probe.image();
    }();
    for (int cell = 0; cell < 8; ++cell)
        EXPECT_TRUE(sameImage(w->tile(33, cell)->image(), slice(cell)));
    EXPECT_TRUE(sameImage(w->tile(33, 8)->image(), blank));
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    const int moved = blankOf(walkHome(dealt, 33)[0]);
    const int tileThere = dealt[moved];
    const int blankCell = blankOf(dealt);
    QTest::mouseClick(w->tile(33, moved), Qt::LeftButton);
    EXPECT_TRUE(sameImage(w->tile(33, blankCell)->image(), slice(tileThere)));
    EXPECT_TRUE(sameImage(w->tile(33, moved)->image(), blank));
}

TEST_F(Window, ThePicturesLoadAtTheirSizeWithTheirOwnPixels) {
    const ImageList list(1.0);
    struct Probe {
        int picture, x, y;
        QRgb rgb;
    };
    const Probe probes[] = {
        {1, 0, 0, qRgb(255, 255, 255)}, {1, 110, 110, qRgb(31, 63, 191)},
        {2, 0, 0, qRgb(177, 139, 125)}, {2, 110, 110, qRgb(174, 130, 89)},
        {3, 0, 0, qRgb(39, 26, 15)},    {3, 30, 200, qRgb(19, 3, 1)},
        {4, 110, 110, qRgb(18, 14, 7)}, {4, 30, 200, qRgb(225, 113, 79)},
        {5, 0, 0, qRgb(255, 255, 255)}, {5, 200, 30, qRgb(157, 178, 224)},
    };
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(list.ListImage(i).size(), QSize(220, 220)) << i;
    for (const Probe& p : probes) {
        EXPECT_EQ(list.ListImage(p.picture).pixel(p.x, p.y), p.rgb)
            << "picture " << p.picture << " at " << p.x << "," << p.y;
    }
    const ImageList sharp(2.0);
    EXPECT_EQ(sharp.ListImage(3).size(), QSize(440, 440));
    EXPECT_EQ(sharp.ListImage(3).deviceIndependentSize(), QSizeF(220, 220));
}

TEST_F(Window, TheClockRunsOnTheRealTimerAndOnlyInFront) {
    auto w = window();
    bool front = true;
    w->foreground = [&] { return front; };
    EXPECT_FALSE(w->Timer1->isActive());
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    ASSERT_TRUE(w->Timer1->isActive());
    EXPECT_EQ(w->Timer1->interval(), 1000);
    w->Timer1->setInterval(5);  // the wiring, not the second, is under test
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->core().LngTime >= 3; }, 2000));
    EXPECT_GE(w->core().LngTime, 3);
    front = false;
    const int before = w->core().LngTime;
    QTest::qWait(50);
    EXPECT_EQ(w->core().LngTime, before);
}

// Two real windows on the offscreen platform: the clock asks whether the main one is active.
TEST_F(Window, ForegroundIsTheActiveWindow) {
    auto w = window();
    const auto activate = [](QWidget* widget) {
        widget->show();
        widget->activateWindow();
        return QTest::qWaitFor([widget] { return widget->isActiveWindow(); }, 2000);
    };
    ASSERT_TRUE(activate(w.get()));
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    w->core().Timer1_Timer();
    EXPECT_EQ(w->core().LngTime, 1);

    QWidget other;
    other.resize(100, 100);
    ASSERT_TRUE(activate(&other));
    w->core().Timer1_Timer();
    EXPECT_EQ(w->core().LngTime, 1) << "a tick behind another window is dropped";

    ASSERT_TRUE(activate(w.get()));
    w->core().Timer1_Timer();
    EXPECT_EQ(w->core().LngTime, 2);
}

// The real box: Enter answers the default button, which for style 292 is No.
TEST(MessageBox, GiveUpQuestionAnswersNoOnEnterAndYesWhenClicked) {
    QString title, text;
    whenModalOpens(
        [&](QWidget& box) {
            title = box.windowTitle();
            text = static_cast<QMessageBox&>(box).text();
        },
        Qt::Key_Return);
    EXPECT_EQ(qt_front::showMessageBox("真不想玩了？", 292, "放弃？"), msgbox::kNo);
    EXPECT_EQ(title, QStringLiteral("放弃？"));
    EXPECT_EQ(text, QStringLiteral("真不想玩了？"));

    whenModalOpens(
        [](QWidget& box) { static_cast<QMessageBox&>(box).button(QMessageBox::Yes)->click(); },
        Qt::Key_Escape);
    EXPECT_EQ(qt_front::showMessageBox("真不想玩了？", 292, "放弃？"), msgbox::kYes);

    whenModalOpens([](QWidget&) {}, Qt::Key_Return);
    EXPECT_EQ(qt_front::showMessageBox("?", 4 + 32, "t"), msgbox::kYes)
        << "style 36: Yes is the default";
}

// Qt would put the application's name in an empty title bar.
TEST(MessageBox, AnEmptyTitleShowsNothing) {
    QCoreApplication::setApplicationName("Tessle");
    QString title = "unset";
    whenModalOpens([&](QWidget& box) { title = box.windowTitle(); }, Qt::Key_Return);
    EXPECT_EQ(qt_front::showMessageBox("真行！你创造了新的纪录", 64, ""), msgbox::kOk);
    EXPECT_TRUE(title.trimmed().isEmpty()) << title.toStdString();
}

// The game's own window shows the real box with the store's failure text, title and icon.
TEST(MessageBox, TheGamesWindowShowsTheStoreErrorBox) {
    Form1Window w([] { return 0.5f; });
    const std::string savedDir = store::directory();
    store::setDirectory("/proc/tessle-no-such-dir");
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModalOpens(
        [&](QWidget& box) {
            title = box.windowTitle();
            text = static_cast<QMessageBox&>(box).text();
            icon = static_cast<QMessageBox&>(box).icon();
        },
        Qt::Key_Return);
    SaveRegValue("Tessle", "MinStep33", 12);
    store::setDirectory(savedDir);
    EXPECT_EQ(text, QStringLiteral("存储失败！"));
    EXPECT_EQ(title, QStringLiteral("错误："));
    EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST_F(Window, OptionsDialogShowsTheModesThumbnailsAndTakesAClick) {
    auto w = window();
    std::vector<QString> titles;
    onDialog = [&](QDialog& d) {
        auto& options = static_cast<FrmOptionWindow&>(d);
        titles.push_back(options.windowTitle());
        if (options.core().Caption != "Backdrop") {
            EXPECT_TRUE(options.PicOption->isHidden());
            EXPECT_EQ(options.Label1->text(), QStringLiteral("冠军："));
            QTest::mouseClick(options.Image5, Qt::LeftButton);  // the mail link leaves it open
            EXPECT_NE(d.result(), QDialog::Accepted);
            EXPECT_EQ(options.Lbl33Champion->text(), QStringLiteral("3 X 3 共移动：99999"));
            QTest::mouseClick(options.CmdOK2, Qt::LeftButton);
            return;
        }
        EXPECT_TRUE(options.PicAbout->isHidden());
        EXPECT_EQ(options.ImgBG[3]->geometry(), QRect(12, 12, 80, 80));
        EXPECT_EQ(options.ImgBG[0]->geometry(), QRect(114, 117, 80, 80));
        const QImage thumb = options.ImgBG[2]->pixmap().toImage();
        EXPECT_EQ(thumb.pixel(0, 0), w->ImageList1().ListImage(3).pixel(0, 0));
        QTest::mouseClick(options.ImgBG[2], Qt::LeftButton);  // picture 3
        EXPECT_EQ(d.result(), QDialog::Accepted);
    };
    w->action(&Form1::mnuHero)->trigger();
    w->action(&Form1::mnuBG)->trigger();
    w->action(&Form1::mnuAbout)->trigger();
    EXPECT_EQ(titles, (std::vector<QString>{"拼图英雄榜", "Backdrop", "Abot..."}));
    EXPECT_EQ(opened, (std::vector<std::string>{"mailto:tessle@korvanel.example",
                                                "mailto:tessle@korvanel.example"}));
    EXPECT_EQ(w->core().PicType, 3);
    EXPECT_EQ(GetRegValue("Tessle", "PType"), 3);
    const QImage corner = w->tile(33, 0)->image();
    EXPECT_EQ(corner.pixel(0, 0), w->ImageList1().ListImage(3).pixel(0, 0))
        << "the main window shows the new picture once the dialog closes";
}

// The start page and every step are cut from the picture in play.
TEST_F(Window, SolverPagesShowThePictureInPlay) {
    const board::Map dealt = dealableNearSolved(33, 4, 9);
    ASSERT_FALSE(dealt.empty());
    // The solver's walk ends one move before the goal, which it recognises as a candidate.
    const std::string steps = std::to_string(walkHome(dealt, 33).size() - 1);
    auto w = window(replay(*drawsFor(dealt)));
    w->core().PicType = 4;
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    const std::string state = board::toBoardState(dealt);
    std::vector<QImage> pages;
    onDialog = [&](QDialog& d) {
        auto& solver = static_cast<FrmAutoBestWindow&>(d);
        EXPECT_EQ(solver.windowTitle(), QStringLiteral("显示最优移动法"));
        EXPECT_EQ(solver.CmdDo->text(), QStringLiteral("自动求解"));
        EXPECT_EQ(solver.CmdPrior->text(), QStringLiteral("上一步"));
        EXPECT_EQ(solver.CmdNext->text(), QStringLiteral("下一步"));
        EXPECT_FALSE(solver.CmdPrior->isEnabled());
        pages.push_back(solver.WebBrowser1->pageImage());
        answers = {msgbox::kYes};
        QTest::mouseClick(solver.CmdDo, Qt::LeftButton);
        pages.push_back(solver.WebBrowser1->pageImage());
        EXPECT_EQ(solver.txtResult->text().toStdString(), "共" + steps + "步，第0步");
        EXPECT_FALSE(solver.CmdDo->isEnabled());
        EXPECT_TRUE(solver.CmdNext->isEnabled());
        QTest::mouseClick(solver.CmdNext, Qt::LeftButton);
        EXPECT_EQ(solver.txtResult->text().toStdString(), "共" + steps + "步，第1步");
        EXPECT_TRUE(solver.CmdPrior->isEnabled());
    };
    w->action(&Form1::mnuAnswer)->trigger();
    ASSERT_EQ(pages.size(), 2u);
    const QImage want = site_pages::drawBoard(state, w->ImageList1().ListImage(4));
    EXPECT_TRUE(sameImage(pages[0], want)) << "start page";
    EXPECT_TRUE(sameImage(pages[1], want)) << "step 0 after the search";
}

}  // namespace

namespace {

// The keys as the platform delivers them: to the window, through Qt's modality and popups.
void press(Form1Window& w, Qt::Key key) {
    QTest::keyClick(w.windowHandle(), key);
}

bool markedAt(const PictureBox& surface) {
    const QImage image = surface.image();
    return image.pixelColor(2, 2) == QColor(255, 230, 0) &&
           image.pixelColor(0, 0) == QColor(0x20, 0x20, 0x20);
}

// H finds the hint on a worker thread and the mark is drawn on the tile; an arrow plays, as its
// click would, and takes the mark away.
TEST_F(Window, TheKeysReachTheRulesAndTheHintIsDrawnOnItsTile) {
    const board::Map dealt = dealableNearSolved(33, 10, 3);
    ASSERT_FALSE(dealt.empty());
    auto w = window(replay(*drawsFor(dealt)));
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    press(*w, Qt::Key_H);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->core().HintCell() >= 0; }, 10000));
    const int marked = w->core().HintCell();
    for (int cell = 0; cell < 9; ++cell) EXPECT_EQ(markedAt(*w->tile(33, cell)), cell == marked);

    const int blank = w->core().BlankCell();
    const Qt::Key arrow = marked == blank - 1   ? Qt::Key_Right
                          : marked == blank + 1 ? Qt::Key_Left
                          : marked == blank - 3 ? Qt::Key_Down
                                                : Qt::Key_Up;
    press(*w, arrow);
    EXPECT_EQ(w->core().LngStep, 1);
    EXPECT_EQ(w->core().BlankCell(), marked);
    for (int cell = 0; cell < 9; ++cell) EXPECT_FALSE(markedAt(*w->tile(33, cell))) << cell;
}

// An open menu or a modal box has the keys: the board under it does not move.
TEST_F(Window, NoKeyReachesTheBoardWhileAMenuOrABoxIsOpen) {
    const board::Map dealt = dealtWithBlankAt(33, 4, 7);
    ASSERT_FALSE(dealt.empty());
    auto w = window(replay(*drawsFor(dealt)));
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QTest::mouseClick(w->Command1, Qt::LeftButton);

    QMenu* game = menuNamed(w->menuBar(), "游戏");
    ASSERT_TRUE(game);
    game->popup(w->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == game; }, 2000));
    press(*w, Qt::Key_Down);
    press(*w, Qt::Key_Right);
    game->close();

    QMessageBox box(QMessageBox::Information, "t", "x", QMessageBox::Ok, w.get());
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    press(*w, Qt::Key_Left);
    press(*w, Qt::Key_H);
    box.close();
    QTest::qWait(50);
    EXPECT_EQ(w->core().TileMap(), dealt);
    EXPECT_EQ(w->core().LngStep, 0);
    EXPECT_EQ(w->core().HintCell(), -1);

    press(*w, Qt::Key_Right);  // closed again: the keys are the board's
    EXPECT_EQ(w->core().LngStep, 1);
}

}  // namespace
