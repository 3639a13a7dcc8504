#include "game/form1.h"

#include "game/app_info.h"
#include "platform/modal.h"
#include "platform/msgbox.h"
#include "platform/picture_box.h"
#include "platform/shell.h"
#include "platform/twips.h"
#include "settings/frm_option.h"
#include "settings/settings_store.h"
#include "solver/frm_auto_best.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QTimer>

#include <random>

namespace {

constexpr OleColor kRed = 255;
constexpr int kNoRecord = 99999;

// Layout, in twips: the top strip, its three controls, and the two board frames under it.
constexpr int kClientWidth = 3345;
constexpr int kClientHeight = 4110;
constexpr int kStripHeight = 435;
constexpr int kBoardLeft = 80;
constexpr int kBoardHidden = 6000;
constexpr int kTiles33[3] = {0, 1080, 2160};
constexpr int kTiles44[4] = {0, 815, 1627, 2435};

// One generator for the whole run, seeded once from the seconds since midnight.
board::Random timeOfDayRandom() {
    auto engine =
        std::make_shared<std::mt19937>(QTime::currentTime().msecsSinceStartOfDay() / 1000);
    // 24 random bits scaled by 2^-24 stay strictly below 1, which a float distribution need not.
    return [engine] { return static_cast<float>((*engine)() >> 8) * (1.0f / 16777216.0f); };
}

// A stored record outside 1..99999 could never be beaten (0 or less) or is not a move count:
// it reads as no record.
std::int32_t recordFromStore(std::int32_t stored) {
    return stored >= 1 && stored <= kNoRecord ? stored : kNoRecord;
}

}  // namespace

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 128, 256})
        icon.addFile(QString(":/icons/tessle-%1.png").arg(size));
    return icon;
}

Form1::Form1(board::Random random, QWidget* parent)
    : QMainWindow(parent),
      random_(random ? std::move(random) : timeOfDayRandom()),
      ImageList1_(qApp ? qApp->devicePixelRatio() : 1.0) {
    IsForeground = [this] { return isActiveWindow(); };
    buildWindow();
    buildMenus();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::buildWindow() {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(programIcon());

    auto* client = new QWidget(this);
    const int boardBottom = 485 + 3300;
    client->setFixedSize(twips::toPx(kClientWidth), twips::toPx(boardBottom));
    setCentralWidget(client);

    Picture1 = new QWidget(client);
    Picture1->setGeometry(twips::toRect(0, 0, kClientWidth, kStripHeight));
    PicStep = new PictureBox(Picture1);
    PicStep->setGeometry(twips::toRect(120, 0, 855, kStripHeight));
    PicStep->setBackColor(0x000000);
    Command1 = new QPushButton(Picture1);
    Command1->setGeometry(twips::toRect(1380, 0, 495, kStripHeight));
    Command1->setIcon(QIcon(":/icons/smiley.png"));
    Command1->setIconSize(QSize(22, 22));
    Command1->setToolTip(QStringLiteral("开局"));
    Command1->setFocusPolicy(Qt::NoFocus);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    PicTime = new PictureBox(Picture1);
    PicTime->setGeometry(twips::toRect(2520, 0, 795, kStripHeight));
    PicTime->setBackColor(0x000000);

    Pic33 = new QFrame(client);
    Pic33->resize(twips::toPx(3300), twips::toPx(3300));
    for (int i = 0; i < 9; ++i) {
        PicG1[i] = new PictureBox(Pic33, i);
        PicG1[i]->setGeometry(twips::toRect(kTiles33[i % 3], kTiles33[i / 3], 1100, 1100));
        connect(PicG1[i], &PictureBox::clicked, this, [this](int index) { PicG1_Click(index); });
    }
    Pic44 = new QFrame(client);
    Pic44->resize(twips::toPx(3300), twips::toPx(3255));
    for (int i = 0; i < 16; ++i) {
        PicG2[i] = new PictureBox(Pic44, i);
        PicG2[i]->setGeometry(twips::toRect(kTiles44[i % 4], kTiles44[i / 4], 825, 825));
        connect(PicG2[i], &PictureBox::clicked, this, [this](int index) { PicG2_Click(index); });
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    StatusBar1 = new QLabel(QStringLiteral("聪明在市场上买不到。"));
    QFont song;
    song.setFamilies({"SimSun", "宋体", "Noto Serif CJK SC", "AR PL UMing CN", "Noto Sans CJK SC",
                      "WenQuanYi Micro Hei"});
    song.setPointSize(9);
    StatusBar1->setFont(song);
    statusBar()->addWidget(StatusBar1, 1);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setFixedHeight(twips::toPx(kClientHeight - boardBottom));
}

void Form1::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuGame = bar->addMenu(QStringLiteral("游戏"));
    connect(mnuGame, &QMenu::aboutToShow, this, [this] { mnuGame_Click(); });
    mnuStart = mnuGame->addAction(QStringLiteral("开局(&N)"), this, [this] { mnuStart_Click(); });
    mnuReset = mnuGame->addAction(QStringLiteral("结束(&E)"), this, [this] { mnuReset_Click(); });
    mnuGame->addSeparator();
    mnuHero = mnuGame->addAction(QStringLiteral("英雄榜(&S)"), this, [this] { mnuHero_Click(); });
    mnuGame->addSeparator();
    mnuExit = mnuGame->addAction(QStringLiteral("退出游戏(&X)"), this, [this] { mnuExit_Click(); });

    mnuOption = bar->addMenu(QStringLiteral("选项"));
    connect(mnuOption, &QMenu::aboutToShow, this, [this] { mnuOption_Click(); });
    mnuGameType = mnuOption->addMenu(QStringLiteral("难度(&L)"));
    mnuG33 = mnuGameType->addAction(QStringLiteral("3 X 3"), this, [this] { mnuG33_Click(); });
    mnuG44 = mnuGameType->addAction(QStringLiteral("4 X 4"), this, [this] { mnuG44_Click(); });
    mnuG33->setCheckable(true);
    mnuG44->setCheckable(true);
    mnuBG = mnuOption->addAction(QStringLiteral("背景(&P)..."), this, [this] { mnuBG_Click(); });

    mnuHelp = bar->addMenu(QStringLiteral("&帮助"));
    mnuAnswer = mnuHelp->addAction(QStringLiteral("自动求解"), this, [this] { mnuAnswer_Click(); });
    mnuHelp->addSeparator();
    mnuAbout = mnuHelp->addAction(QStringLiteral("关于(&A)"), this, [this] { mnuAbout_Click(); });

    MnuOstrelle1 = bar->addAction(QStringLiteral("好东东！"));
    connect(MnuOstrelle1, &QAction::triggered, this, [this] { MnuOstrelle1_Click(); });
}

PictureBox* Form1::tile(int gameType, int cell) const {
    if (gameType == board::kGame44) return cell >= 0 && cell < 16 ? PicG2[cell] : nullptr;
    return cell >= 0 && cell < 9 ? PicG1[cell] : nullptr;
}

// ---- Start-up, new game and deal ----

void Form1::Form_Load() {
    setWindowTitle(QString::fromUtf8(kAppTitle));
    MinStep33 = recordFromStore(GetRegValue(kAppKey, "MinStep33"));
    MinStep44 = recordFromStore(GetRegValue(kAppKey, "MinStep44"));
    const int boardTop = kStripHeight + 50;
    Pic33->move(Pic33->x(), twips::toPx(boardTop));
    Pic44->move(Pic44->x(), twips::toPx(boardTop));
    LcdTime.NewLCD(PicTime);
    LcdStep.NewLCD(PicStep);
    GameType = board::kGame33;
    PicType = LoadPicType();
    LcdTime.ForeColor(kRed);
    LcdStep.ForeColor(kRed);
    BlankPicture_ = QImage();  // no surface has a picture before the first draw
    IsPlaying_ = false;
    GameInit();
}

std::int32_t Form1::LoadPicType() {
    const std::int32_t v = GetRegValue(kAppKey, "PTYPE");
    // Only 1..4 are ever stored; 0 is "never stored", and anything else is not a choice.
    return v >= 1 && v <= 4 ? v : 1;
}

void Form1::GameInit() {
    LngTime = 0;
    LngStep = 0;
    IsChampion = false;
    IsWon = false;
    DrawTiles(PicType, GameType);
    LcdTime.Caption(std::to_string(LngTime));
    LcdStep.Caption(std::to_string(LngStep));
    mnuAnswer->setEnabled(IsPlaying_);
}

void Form1::Command1_Click() {
    GameInit();
    ShuffleTiles(GameType);
}

void Form1::ShuffleTiles(int gameType) {
    const int last = board::lastTile(gameType);
    LngTime = 0;
    LngStep = 0;
    std::vector<QImage> tileImage(last + 1);
    for (int i = 0; i <= last; ++i) tileImage[i] = tile(gameType, i)->image();
    TileMap_ = board::deal(gameType, random_);
    for (int cell = 0; cell <= last; ++cell) {
        tile(gameType, cell)->setPicture(tileImage[TileMap_[cell]]);
        if (TileMap_[cell] == last) BlankCell_ = static_cast<std::int16_t>(cell);
    }
    IsPlaying_ = true;
    LngStep = 0;
    Timer1->start();
    mnuAnswer->setEnabled(IsPlaying_);
}

// ---- Pictures cut into tiles ----

void Form1::DrawTiles(std::int32_t& pictureIndex, std::int32_t& gameType) {
    const QImage& pic = ImageList1_.ListImage(pictureIndex);
    const bool big = gameType == board::kGame44;
    QFrame* shown = big ? Pic44 : Pic33;
    QFrame* other = big ? Pic33 : Pic44;
    shown->move(twips::toPx(kBoardLeft), shown->y());
    other->move(twips::toPx(kBoardHidden), other->y());
    shown->setVisible(true);
    other->setVisible(false);  // beyond the window's edge anyway; hidden so it takes no click

    const int n = board::side(gameType);
    const int w = tile(gameType, 0)->innerWidth();
    const int h = tile(gameType, 0)->innerHeight();
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) {
            tile(gameType, row * n + col)->paintPicture(pic, col * w, row * h, w, h);
        }
    }
    tile(gameType, n * n - 1)->setPicture(BlankPicture_);
}

// ---- Moves, clock, completion ----

void Form1::PicG1_Click(int Index) {
    if (GameType == board::kGame33) TileClick(Index);
}

void Form1::PicG2_Click(int Index) {
    if (GameType == board::kGame44) TileClick(Index);
}

void Form1::TileClick(int Index) {
    ClickedCell = static_cast<std::int16_t>(Index);
    if (!IsPlaying_) return;
    for (const int neighbour : board::neighbours(GameType, ClickedCell)) {
        TargetCell = static_cast<std::int16_t>(neighbour);
        if (TargetCell == BlankCell_) MoveTile(GameType);
    }
    IsWon = board::isComplete(TileMap_, GameType);
    if (IsWon) GameOver();
}

void Form1::MoveTile(int gameType) {
    PictureBox* target = tile(gameType, TargetCell);
    PictureBox* clicked = tile(gameType, ClickedCell);
    target->setPicture(clicked->image());
    TileMap_[TargetCell] = TileMap_[ClickedCell];
    clicked->setPicture(BlankPicture_);
    TileMap_[ClickedCell] = static_cast<std::int16_t>(board::lastTile(gameType));
    BlankCell_ = ClickedCell;
    LngStep = LngStep + 1;
    LcdStep.Caption(std::to_string(LngStep));
}

void Form1::Timer1_Timer() {
    if (!IsForeground()) return;  // dropped, never made up
    LngTime = LngTime + 1;
    LcdTime.Caption(std::to_string(LngTime));
}

void Form1::GameOver() {
    IsPlaying_ = false;
    Timer1->stop();
    if (!IsWon) return;
    std::int32_t& record = GameType == board::kGame33 ? MinStep33 : MinStep44;
    if (LngStep < record) {
        record = LngStep;
        IsChampion = true;
        recordSetThisRun_ = true;
    }
    if (IsChampion) {
        MsgBox(QStringLiteral("真行！你创造了新的纪录"), msgbox::kInformation, QString());
    } else {
        MsgBox(QStringLiteral("不错，继续努力，你会做得更好！"), msgbox::kInformation,
               QStringLiteral("Congratulation!"));
    }
}

void Form1::GameReset() {
    GameOver();
    GameInit();
}

// ---- Menus ----

void Form1::mnuGame_Click() {
    mnuReset->setEnabled(IsPlaying_);
}

void Form1::mnuStart_Click() {
    Command1_Click();
}

void Form1::mnuReset_Click() {
    if (!IsPlaying_) return;
    const int answer = MsgBox(QStringLiteral("真不想玩了？"),
                              msgbox::kYesNo | msgbox::kQuestion | msgbox::kDefaultButton2,
                              QStringLiteral("放弃？"));
    if (answer == msgbox::kYes) GameReset();
}

void Form1::mnuHero_Click() {
    openOptions(1);
}
void Form1::mnuBG_Click() {
    openOptions(2);
}
void Form1::mnuAbout_Click() {
    openOptions(3);
}

void Form1::openOptions(std::int32_t mode) {
    ShowMsg = mode;  // read by the options window while it loads
    if (!FrmOption_) FrmOption_ = std::make_unique<FrmOption>(*this);
    FrmOption_->Form_Load();
    ShowModal(*FrmOption_);
}

void Form1::mnuExit_Click() {
    close();
}

void Form1::mnuOption_Click() {
    mnuGameType->menuAction()->setEnabled(!IsPlaying_);
    mnuBG->setEnabled(!IsPlaying_);
    if (!IsPlaying_) {
        mnuG33->setChecked(GameType == board::kGame33);
        mnuG44->setChecked(GameType == board::kGame44);
    }
}

void Form1::mnuG33_Click() {
    switchBoard(board::kGame33);
}
void Form1::mnuG44_Click() {
    switchBoard(board::kGame44);
}

void Form1::switchBoard(int gameType) {
    mnuG33->setChecked(gameType == board::kGame33);
    mnuG44->setChecked(gameType == board::kGame44);
    GameType = gameType;
    if (gameType == board::kGame33 && PicType == 5) PicType = 1;
    if (gameType == board::kGame44 && PicType == 1) PicType = 5;
    DrawTiles(PicType, GameType);
}

void Form1::mnuAnswer_Click() {
    const QString title = QString::fromUtf8(kAppTitle);
    // A finished 4 x 4 game leaves 16 entries behind even after a switch to 3 x 3; that board
    // is not the solver's to judge.
    if (GameType != board::kGame33 || TileMap_.size() != 9) {
        MsgBox(QStringLiteral("4X4模式下暂不支持此功能！"), msgbox::kInformation, title);
        return;
    }
    const std::string s = board::toBoardState(TileMap_);
    if (s == "123456870") {
        MsgBox(QStringLiteral("问题无解！"), msgbox::kInformation, title);
        return;
    }
    if (!frmAutoBest_) frmAutoBest_ = std::make_unique<frmAutoBest>(*this);
    frmAutoBest_->STATE = s;
    frmAutoBest_->Form_Load();
    ShowModal(*frmAutoBest_);
}

void Form1::MnuOstrelle1_Click() {
    OpenAddress(QString::fromUtf8(kMakerSoftPage));
}

// ---- Closing ----

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();  // closing always proceeds
}

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (!recordSetThisRun_) return;
    SaveRegValue(kAppKey, "MinStep33", MinStep33);
    SaveRegValue(kAppKey, "MinStep44", MinStep44);
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (centred_) return;
    centred_ = true;
    setFixedSize(sizeHint());
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}
