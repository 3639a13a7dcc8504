#pragma once

#include "game/board.h"
#include "game/seams.h"
#include "lcd/cls_lcd.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

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

// What the main window needs from the toolkit that shows it.
class Form1Host {
  public:
    virtual ~Form1Host() = default;

    // The drawing surfaces of the move display and the clock.
    virtual DrawingSurface& PicStep() = 0;
    virtual DrawingSurface& PicTime() = 0;
    // Inner drawable size of the tile surfaces of a board, in 96-dpi pixels.
    virtual int TileInnerWidth(int gameType) = 0;
    virtual int TileInnerHeight(int gameType) = 0;
    // Starts or stops the 1000 ms clock.
    virtual void EnableTimer1(bool enabled) = 0;
    // Whether the main window is the foreground window of the desktop.
    virtual bool IsForeground() = 0;
    // Closes the main window; the front-end then runs Form_Unload.
    virtual void Unload() = 0;
    // Reports a failure where nobody has to answer it (standard error, the debugger's output):
    // at the end of the session no box may hold up the shutdown.
    virtual void LogError(const std::string& text) = 0;
};

// The main window's rules: home of all game state for the life of the program. Its public
// fields are the only channel between the windows. A front-end builds the controls from the
// layout and menu tables below, forwards their events to the handlers and draws what the state
// says.
class Form1 {
  public:
    // `random` draws in [0, 1); left empty, a generator seeded once from the time of day is used.
    explicit Form1(Form1Host& host, board::Random random = {});
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

    // Read access for the other windows and for tests.
    const board::Map& TileMap() const { return TileMap_; }
    std::int16_t BlankCell() const { return BlankCell_; }
    bool IsPlaying() const { return IsPlaying_; }
    const TilePicture& BlankPicture() const { return BlankPicture_; }
    FrmOption* optionWindow() const { return FrmOption_.get(); }
    // The front-end that shows this window.
    Form1Host& host() const { return host_; }
    frmAutoBest* solverWindow() const { return frmAutoBest_.get(); }

  private:
    std::int32_t LoadPicType();
    void ShuffleTiles(int gameType);
    void DrawTiles(std::int32_t& pictureIndex, std::int32_t& gameType);
    void TileClick(int Index);
    void MoveTile(int gameType);
    void GameOver();
    void switchBoard(int gameType);
    void openOptions(std::int32_t mode);
    void setTimer1(bool enabled);

    Form1Host& host_;
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

// The store's failed-write box; each front-end installs it at start-up.
void InstallStoreErrorBox();
