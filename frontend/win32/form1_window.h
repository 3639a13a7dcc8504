#pragma once

#include "frontend/win32/image_list.h"
#include "frontend/win32/picture_box.h"
#include "frontend/win32/win32_front.h"
#include "game/form1.h"
#include "game/search_threads.h"

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <memory>

class FrmAutoBestWindow;
class FrmOptionWindow;
class ModalFrame;

// The main window on Win32: builds the controls and the menu bar from the layout tables,
// forwards their events to the rules in Form1 and draws what Form1's state says. It is the
// Win32 front-end's side of the contract: the rules' boxes, modal windows and addresses go
// through it too.
class Form1Window : public ToolkitFrontend<Form1Window> {
  public:
    static constexpr int kCommand1Id = 1000;
    static constexpr UINT_PTR kTimer1Id = 1;
    // A hint search's answer, posted from its thread: lParam owns a SearchThreads::Task.
    static constexpr UINT kSearchDone = WM_APP + 1;

    // `random` draws in [0, 1); left empty, the rules seed their own from the time of day.
    explicit Form1Window(board::Random random = {});
    ~Form1Window() override;

    HWND hwnd() const { return hwnd_; }
    Form1& core() { return core_; }
    const ImageList& ImageList1() const { return ImageList1_; }

    // Shows the window, centred with its frame on the screen it is on.
    void show(int showCommand = SW_SHOWNORMAL);
    int dpi() const { return dpi_; }

    // Runs once the window is gone; the program's loop ends there.
    std::function<void()> onDestroyed;

    // Draws what the rules' state says.
    void sync();

    // The Win32 windows of the modal windows, and how one runs until it closes (tests drive it
    // without a loop of its own).
    using OptionsWindow = FrmOptionWindow;
    using SolverWindow = FrmAutoBestWindow;
    virtual void runDialog(ModalFrame& dialog);

    // Frontend: what the main window gives the rules, then the desktop's services.
    DrawingSurface& PicStep() override { return *PicStep_; }
    DrawingSurface& PicTime() override { return *PicTime_; }
    int TileInnerWidth(int gameType) override { return tile(gameType, 0)->innerWidth(); }
    int TileInnerHeight(int gameType) override { return tile(gameType, 0)->innerHeight(); }
    void EnableTimer1(bool enabled) override;
    bool IsForeground() override;
    void Unload() override;
    int MsgBox(const std::string& prompt, int style, const std::string& title) override;
    void OpenAddress(const std::string& address) override;
    void LogError(const std::string& text) override;
    void SearchHint(const optimal::Position& position, std::shared_ptr<std::atomic<bool>> cancel,
                    std::function<void(const optimal::Answer&)> found) override;
    void PrepareHints() override;

    // Controls.
    PictureBox* tile(int gameType, int cell) const;
    HWND Picture1 = nullptr;
    std::unique_ptr<PictureBox> PicStep_;
    HWND Command1 = nullptr;
    std::unique_ptr<PictureBox> PicTime_;
    HWND Pic33 = nullptr;
    HWND Pic44 = nullptr;
    std::array<std::unique_ptr<PictureBox>, 9> PicG1;
    std::array<std::unique_ptr<PictureBox>, 16> PicG2;
    HWND StatusBar1 = nullptr;
    HMENU menuBar = nullptr;

    // Where a menu entry of form1_layout::kMenuBar sits: its menu and its position there; a
    // submenu's entry also has the popup it opens.
    struct MenuSlot {
        HMENU menu;
        UINT position;
        HMENU popup;
    };
    std::map<int, MenuSlot> menuSlots;

  private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void buildWindow();
    void buildMenus();
    // Places every control for a DPI: the one place twips become pixels here.
    void layout(int dpi);
    void syncTiles(int gameType);
    void setSmiley();
    void centre();
    void menuOpened(HMENU popup);
    void menuCommand(int id);

    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    ImageList ImageList1_;
    Form1 core_;
    HICON smileyIcon_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    TileSurfaces shownTiles_;
    bool closed_ = false;
    // Made once the window exists, to post to it; gone (its threads joined) before it is.
    std::unique_ptr<SearchThreads> searches_;
};

// Made in form1_window.cpp, where the modal windows' classes are known.
extern template class ToolkitFrontend<Form1Window>;
