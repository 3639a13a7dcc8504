#pragma once

#include "frontend/web/bridge.h"
#include "game/form1.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class FrmOptionPage;
class FrmAutoBestPage;

// A drawing surface of the page: a canvas inside a sunken 2-pixel border.
class CanvasSurface : public DrawingSurface {
  public:
    static constexpr int kBorder = 2;
    CanvasSurface(int id, const TwipsRect& at);
    int id() const { return id_; }
    int innerWidth() const override { return width_; }
    int innerHeight() const override { return height_; }
    void clear() override { web::clear(id_, back_); }
    void setBackColor(OleColor color) override { back_ = color; }
    void setForeColor(OleColor color) override { fore_ = color; }
    void line(int x1, int y1, int x2, int y2) override { web::line(id_, x1, y1, x2, y2, fore_); }
    void box(int x1, int y1, int x2, int y2) override { web::box(id_, x1, y1, x2, y2, fore_); }

  private:
    int id_;
    int width_;
    int height_;
    OleColor back_ = 0xFFFFFF;
    OleColor fore_ = 0;
};

// A modal window of the page: its client area is element id(); it is done when its rules
// unload it or the player closes it.
class DialogPage : public View {
  public:
    int id() const { return id_; }
    bool done = false;

  protected:
    DialogPage() : id_(web::newId()) {}
    int id_;
};

// The main window in the browser: builds the controls in the page, forwards the player's events
// to the rules in Form1 and draws what Form1's state says. It is the page's side of the
// contract: boxes and modal windows are in-page, each running its own loop over the page's
// events until it closes, as a desktop's modal loop does.
class Form1Page : public ToolkitFrontend<Form1Page> {
  public:
    Form1Page();
    ~Form1Page() override;

    // Runs the game until the player leaves it with 退出游戏.
    void run();
    // The page is going away (closed, reloaded, navigated): the records are written, with no
    // box to wait on.
    void endSession();

    // Draws what the rules' state says.
    void sync();

    // The page's windows for the modal windows, and their loop.
    using OptionsWindow = FrmOptionPage;
    using SolverWindow = FrmAutoBestPage;
    void runDialog(DialogPage& dialog);

    // Runs `handler` when the player clicks element `id` of the window `window` (0: the main
    // window), and only while that window is the topmost; forgotten when the window closes.
    void onClick(int id, int window, std::function<void()> handler);

    // Frontend
    int MsgBox(const std::string& prompt, int style, const std::string& title) override;
    void OpenAddress(const std::string& address) override;
    void LogError(const std::string& text) override;
    DrawingSurface& PicStep() override { return *PicStep_; }
    DrawingSurface& PicTime() override { return *PicTime_; }
    int TileInnerWidth(int gameType) override;
    int TileInnerHeight(int gameType) override;
    void EnableTimer1(bool enabled) override;
    bool IsForeground() override;
    void Unload() override;
    void SearchHint(const optimal::Position& position, std::shared_ptr<std::atomic<bool>> cancel,
                    std::function<void(const optimal::Answer&)> found) override;
    void PrepareHints() override;

  private:
    struct Route {
        int window;
        std::function<void(int value)> run;
    };
    void buildWindow();
    void buildMenus();
    void dispatch(const web::Event& event);
    void runMenu(int menuId, bool opening);
    int topWindow() const { return windows_.back(); }
    // Runs the page's events until `done`, with `window` (a modal window or box, answering
    // through `closed`) the topmost; then forgets every route of it.
    void runWindow(int window, const bool& done, std::function<void(int value)> closed);

    std::unique_ptr<CanvasSurface> PicStep_;
    std::unique_ptr<CanvasSurface> PicTime_;
    int Pic33_ = 0;
    int Pic44_ = 0;
    std::vector<int> PicG1_;
    std::vector<int> PicG2_;

    Form1 core_;
    TileSurfaces shownTiles_;
    std::map<int, Route> routes_;
    std::vector<int> windows_{0};  // open windows, the main window first and the topmost last
    bool closing_ = false;
    bool ended_ = false;
    // Hint searches in the worker, by id, until their answer comes.
    std::map<int, std::function<void(const optimal::Answer&)>> searches_;
    int lastSearch_ = 0;
};

extern template class ToolkitFrontend<Form1Page>;
