#pragma once

#include "frontend/win32/image_list.h"
#include "frontend/win32/picture_box.h"
#include "frontend/win32/win32_front.h"
#include "game/form1.h"

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <memory>

// The main window on Win32: builds the controls and the menu bar from the layout tables,
// forwards their events to the rules in Form1 and draws what Form1's state says.
class Form1Window : public Form1Host, public View {
  public:
    static constexpr int kCommand1Id = 1000;
    static constexpr UINT_PTR kTimer1Id = 1;

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

    void sync() override;

    // Form1Host
    DrawingSurface& PicStep() override { return *PicStep_; }
    DrawingSurface& PicTime() override { return *PicTime_; }
    int TileInnerWidth(int gameType) override;
    int TileInnerHeight(int gameType) override;
    void EnableTimer1(bool enabled) override;
    bool IsForeground() override;
    void Unload() override;
    void LogError(const std::string& text) override;

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
    void syncTiles(int gameType, bool redraw);
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
    // What each tile surface was last drawn with.
    std::array<TilePicture, 9> shown33_{};
    std::array<TilePicture, 16> shown44_{};
    bool closed_ = false;
};
