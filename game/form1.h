#pragma once

#include "game/board.h"
#include "game/seams.h"
#include "lcd/cls_lcd.h"
#include "settings/settings_store.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Form1;
class FrmOption;
class frmAutoBest;

// A control's place in its parent, in twips (1/1440 inch; 15 twips per pixel at 96 dpi).
struct TwipsRect {
    int Left;
    int Top;
    int Width;
    int Height;
};

// A panel or board frame; moved to left 6000, beyond its window's width, to take it out of view.
struct Frame {
    int Left = 0;
    int Top = 0;
};
inline constexpr int kOutOfView = 6000;

// What a tile surface shows: the w x h region of built-in picture `picture` (1..5) taken at
// (sx, sy), in 96-dpi pixels, or nothing but the background colour (picture 0).
struct TilePicture {
    int picture = 0;
    int sx = 0;
    int sy = 0;
    int w = 0;
    int h = 0;

    bool empty() const { return picture == 0; }
    bool operator==(const TilePicture& o) const {
        return picture == o.picture && sx == o.sx && sy == o.sy && w == o.w && h == o.h;
    }
    bool operator!=(const TilePicture& o) const { return !(*this == o); }
};

struct MenuEntry {
    bool Enabled = true;
    bool Checked = false;
};

// The modes the options window opens in, set in Form1::ShowMsg.
namespace show_msg {
constexpr std::int32_t kHallOfFame = 1;
constexpr std::int32_t kBackdrop = 2;  // the picture choice
constexpr std::int32_t kAbout = 3;
}  // namespace show_msg

// The built-in pictures, numbered from 1. Only 1 to 4 are offered and stored; the 4 x 4 board
// plays picture 1 (the numbers) as picture 5, the same numbers cut for four by four.
namespace pictures {
constexpr std::int32_t kNumbers = 1;
constexpr std::int32_t kNumbers44 = 5;
constexpr std::int32_t kLastChoice = 4;
}  // namespace pictures

// The keys the main window answers, by their classic key codes.
namespace keys {
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kH = 72;
}  // namespace keys

// What a front-end last drew on each tile surface of both boards, so that bringing the window
// up to date draws only the surfaces whose picture or hint mark changed.
class TileSurfaces {
  public:
    // The cells of the board whose surface must be drawn now with form.tile(gameType, cell),
    // and the hint mark over it where form.hinted(gameType, cell): those whose picture or mark
    // changed since they were last drawn, and every cell before the first draw or after
    // forget(). Each is taken as drawn.
    std::vector<int> changed(const Form1& form, int gameType);
    // Every surface is drawn again next time (the surfaces were made anew, the DPI changed).
    void forget();

  private:
    struct Shown {
        TilePicture picture;
        bool marked;
        bool operator==(const Shown& o) const { return picture == o.picture && marked == o.marked; }
    };
    std::array<std::optional<Shown>, 9> shown33_{};
    std::array<std::optional<Shown>, 16> shown44_{};
};

// The main window's rules: home of all game state for the life of the program. Its public
// fields are the only channel between the windows. A front-end builds the controls from the
// layout and menu tables below, forwards their events to the handlers and draws what the state
// says; everything the rules need of it goes through its Frontend.
class Form1 : private WindowRules {
  public:
    // `random` draws in [0, 1); left empty, a generator seeded once from the time of day is used.
    // While it lives, and no newer one does, a failed store write shows its box through
    // `frontend`.
    explicit Form1(Frontend& frontend, board::Random random = {});
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

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
    void Form_Load();
    void Form_Unload();
    // The desktop session is ending (logout, shutdown, a termination signal): the records are
    // written as on the close box, and a write that fails is logged instead of shown in a box.
    void EndSession();
    // The store could not write a value: its box.
    void StoreWriteFailed();
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
    // A key pressed in the main window (keys::): an arrow slides the tile beside the blank that
    // way, as a click on it does; H marks the tile that starts a shortest solution.
    void Form_KeyDown(int KeyCode);

    // What the controls show.
    std::string Caption;
    Frame Pic33;
    Frame Pic44;
    std::array<TilePicture, 9> PicG1{};
    std::array<TilePicture, 16> PicG2{};
    bool Timer1Enabled = false;
    MenuEntry mnuGame, mnuStart, mnuReset, mnuSep6, mnuHero, mnuSep, mnuExit;
    MenuEntry mnuOption, mnuGameType, mnuG33, mnuG44, mnuBG;
    MenuEntry mnuHelp, mnuAnswer, mnuSep2, mnuAbout, MnuOstrelle1;

    // Tile surface `cell` of the board of `gameType`.
    TilePicture& tile(int gameType, int cell);
    const TilePicture& tile(int gameType, int cell) const;

    // The cell of the board in play that a hint marks, or -1.
    int HintCell() const { return hintCell_; }
    bool hinted(int gameType, int cell) const {
        return hintCell_ >= 0 && gameType == GameType && cell == hintCell_;
    }

    // Read access for the other windows and for tests.
    const board::Map& TileMap() const { return TileMap_; }
    std::int16_t BlankCell() const { return BlankCell_; }
    bool IsPlaying() const { return IsPlaying_; }
    const TilePicture& BlankPicture() const { return BlankPicture_; }
    FrmOption* optionWindow() const { return FrmOption_.get(); }
    // The front-end that shows the windows.
    Frontend& frontend() const { return frontend_; }
    frmAutoBest* solverWindow() const { return frmAutoBest_.get(); }

  private:
    std::int32_t LoadPicType();
    void ShuffleTiles(int gameType);
    void DrawTiles(std::int32_t& pictureIndex, std::int32_t& gameType);
    void TileClick(int Index);
    void MoveTile(int gameType);
    void GameOver();
    void switchBoard(int gameType);
    // Stores both records (or, with onlyPending, those kept from a failed save) as the close
    // does; what cannot be stored is kept in the player's data folder. False on a failure.
    bool storeRecords(bool onlyPending);
    void tellStoreFailed();
    void openOptions(std::int32_t mode);
    void setTimer1(bool enabled);
    void showHint();
    void hintFound(unsigned search, const optimal::Position& position,
                   const optimal::Answer& answer);
    // The mark goes, and a search still running is cancelled and its answer dropped.
    void clearHint();

    board::Random random_;

    ClsLcd LcdStep;
    ClsLcd LcdTime;
    TilePicture BlankPicture_;
    std::int16_t ClickedCell = 0;
    board::Map TileMap_;
    std::int16_t BlankCell_ = 0;
    std::int16_t TargetCell = 0;
    bool IsPlaying_ = false;

    // A record beaten at any time since start-up; the close writes the records while it is set.
    bool recordSetThisRun_ = false;
    bool unloaded_ = false;
    // The player was shown that records wait for the store; not again until one is stored.
    bool toldStoreFailed_ = false;
    bool endingSession_ = false;

    int hintCell_ = -1;
    // Numbers the hint searches; an answer is taken only from the newest.
    unsigned hintSearch_ = 0;
    std::shared_ptr<std::atomic<bool>> hintCancel_;

    std::unique_ptr<FrmOption> FrmOption_;
    std::unique_ptr<frmAutoBest> frmAutoBest_;
};

// The main window's controls and menu bar, for the front-ends to build.
namespace form1_layout {

constexpr int kClientWidth = 3345;
constexpr int kClientHeight = 4110;
constexpr TwipsRect kPicture1{0, 0, 3345, 435};
constexpr TwipsRect kPicStep{120, 0, 855, 435};
constexpr TwipsRect kCommand1{1380, 0, 495, 435};
constexpr TwipsRect kPicTime{2520, 0, 795, 435};
// The new-game button's picture, in pixels.
constexpr int kSmileySize = 28;
// The frames' sizes; their place comes from Form1::Pic33 / Pic44.
constexpr int kFrameWidth = 3300;
constexpr int kPic33Height = 3300;
constexpr int kPic44Height = 3255;
constexpr int kBoardLeft = 80;
// Tile surface `cell` of a board, inside its frame.
TwipsRect tileRect(int gameType, int cell);
// The status bar fills what the strip and the boards leave of the client height.
constexpr const char* kStatusText = "聪明在市场上买不到。";
constexpr int kStatusPointSize = 9;
constexpr const char* kStatusFont = "宋体";
constexpr const char* kStatusFontLatin = "SimSun";
constexpr const char* kNewGameTip = "开局";

// The menu bar in order. An entry's parent is 0 for the bar itself; "-" is a separator. `command`
// runs when the entry is chosen or, for a menu, when it opens.
struct MenuItem {
    int id;
    int parent;
    const char* caption;
    MenuEntry Form1::*entry;
    void (Form1::*command)();
    bool tickable;
};
extern const std::array<MenuItem, 17> kMenuBar;
// Whether entry `id` is a menu that holds entries, rather than a command.
bool hasEntries(int id);

}  // namespace form1_layout

// The hint's mark over a tile surface: a thick yellow frame between dark outlines, plain on any
// picture.
void drawHintMark(DrawingSurface& surface);

// The box a failed store write shows.
constexpr const char* kStoreWriteFailed = "存储失败！";
