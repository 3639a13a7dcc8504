#pragma once

#include "game/board.h"
#include "game/image_list.h"
#include "lcd/cls_lcd.h"

#include <QImage>
#include <QMainWindow>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class PictureBox;
class QAction;
class QIcon;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class FrmOption;
class frmAutoBest;

// The program icon, at every size drawn for it.
QIcon programIcon();

// The main window: home of all game state for the life of the program. Its public fields are
// the only channel between the windows.
class Form1 : public QMainWindow {
    Q_OBJECT

  public:
    // `random` draws in [0, 1); left empty, a generator seeded once from the time of day is used.
    explicit Form1(board::Random random = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // Public state, in declaration order.
    std::int32_t GameType = board::kGame33;
    std::int32_t PicType = 1;
    std::int32_t LngStep = 0;
    std::int32_t LngTime = 0;
    bool IsWon = false;
    std::int32_t ShowMsg = 0;
    std::int32_t MinStep33 = 99999;
    std::int32_t MinStep44 = 99999;
    bool IsChampion = false;

    void GameInit();

    // Event handlers, under the names of their controls.
    void Command1_Click();
    void PicG1_Click(int Index);
    void PicG2_Click(int Index);
    void Timer1_Timer();
    void GameReset();
    void mnuGame_Click();
    void mnuStart_Click();
    void mnuReset_Click();
    void mnuHero_Click();
    void mnuExit_Click();
    void mnuOption_Click();
    void mnuG33_Click();
    void mnuG44_Click();
    void mnuBG_Click();
    void mnuAnswer_Click();
    void mnuAbout_Click();
    void MnuOstrelle1_Click();

    // Read access for the other windows and for tests.
    const board::Map& TileMap() const { return TileMap_; }
    std::int16_t BlankCell() const { return BlankCell_; }
    bool IsPlaying() const { return IsPlaying_; }
    const ImageList& ImageList1() const { return ImageList1_; }
    const QImage& BlankPicture() const { return BlankPicture_; }
    // Tile surface `cell` of the board of `gameType`.
    PictureBox* tile(int gameType, int cell) const;

    // Whether the main window is in front; the clock counts only then. Tests replace it.
    std::function<bool()> IsForeground;

    // Controls.
    QWidget* Picture1 = nullptr;
    PictureBox* PicStep = nullptr;
    QPushButton* Command1 = nullptr;
    PictureBox* PicTime = nullptr;
    QFrame* Pic33 = nullptr;
    QFrame* Pic44 = nullptr;
    std::array<PictureBox*, 9> PicG1{};
    std::array<PictureBox*, 16> PicG2{};
    QTimer* Timer1 = nullptr;
    QLabel* StatusBar1 = nullptr;
    QMenu* mnuGame = nullptr;
    QAction* mnuStart = nullptr;
    QAction* mnuReset = nullptr;
    QAction* mnuHero = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuOption = nullptr;
    QMenu* mnuGameType = nullptr;
    QAction* mnuG33 = nullptr;
    QAction* mnuG44 = nullptr;
    QAction* mnuBG = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAnswer = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* MnuOstrelle1 = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildWindow();
    void buildMenus();
    void Form_Load();
    void Form_Unload();
    std::int32_t LoadPicType();
    void ShuffleTiles(int gameType);
    void DrawTiles(std::int32_t& pictureIndex, std::int32_t& gameType);
    void TileClick(int Index);
    void MoveTile(int gameType);
    void GameOver();
    void switchBoard(int gameType);
    void openOptions(std::int32_t mode);

    board::Random random_;
    ImageList ImageList1_;

    ClsLcd LcdStep;
    ClsLcd LcdTime;
    QImage BlankPicture_;
    std::int16_t ClickedCell = 0;
    board::Map TileMap_;
    std::int16_t BlankCell_ = 0;
    std::int16_t TargetCell = 0;
    bool IsPlaying_ = false;

    // A record beaten at any time since start-up; the close writes the records while it is set.
    bool recordSetThisRun_ = false;
    bool unloaded_ = false;
    bool centred_ = false;

    std::unique_ptr<FrmOption> FrmOption_;
    std::unique_ptr<frmAutoBest> frmAutoBest_;
};
