#pragma once

#include "frontend/qt/image_list.h"
#include "frontend/qt/qt_seams.h"
#include "game/form1.h"
#include "game/search_threads.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>

class FrmAutoBestWindow;
class FrmOptionWindow;
class PictureBox;
class QAction;
class QDialog;
class QFrame;
class QIcon;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

// The program icon, at every size drawn for it.
QIcon programIcon();

// The main window on Qt: builds the controls, forwards their events to the rules in Form1 and
// draws what Form1's state says. It is the Qt front-end's side of the contract: the rules' boxes,
// modal windows and addresses go through it too.
class Form1Window : public QMainWindow, public ToolkitFrontend<Form1Window> {
    Q_OBJECT

  public:
    // `random` draws in [0, 1); left empty, the rules seed their own from the time of day.
    explicit Form1Window(board::Random random = {}, QWidget* parent = nullptr);
    ~Form1Window() override;

    Form1& core() { return core_; }
    const ImageList& ImageList1() const { return ImageList1_; }

    // Tile surface `cell` of the board of `gameType`.
    PictureBox* tile(int gameType, int cell) const;

    // Whether the window is in front; the clock counts only then. Tests replace it.
    std::function<bool()> foreground;

    // Draws what the rules' state says.
    void sync();

    // The Qt windows of the modal windows, and how one runs until it closes (tests drive it
    // without a loop of its own).
    using OptionsWindow = FrmOptionWindow;
    using SolverWindow = FrmAutoBestWindow;
    virtual void runDialog(QDialog& dialog);

    // The desktop session ends: the records are written, with no box to wait on, the window
    // closes as its close box does, and every loop ends, a modal window's or a box's too.
    void endSession();

    // Frontend
    int MsgBox(const std::string& prompt, int style, const std::string& title) override;
    void OpenAddress(const std::string& address) override;
    DrawingSurface& PicStep() override;
    DrawingSurface& PicTime() override;
    int TileInnerWidth(int gameType) override;
    int TileInnerHeight(int gameType) override;
    void EnableTimer1(bool enabled) override;
    bool IsForeground() override;
    void Unload() override;
    void LogError(const std::string& text) override;
    void SearchHint(const optimal::Position& position, std::shared_ptr<std::atomic<bool>> cancel,
                    std::function<void(const optimal::Answer&)> found) override;
    void PrepareHints() override;

    // Controls.
    QWidget* Picture1 = nullptr;
    PictureBox* PicStep_ = nullptr;
    QPushButton* Command1 = nullptr;
    PictureBox* PicTime_ = nullptr;
    QFrame* Pic33 = nullptr;
    QFrame* Pic44 = nullptr;
    std::array<PictureBox*, 9> PicG1{};
    std::array<PictureBox*, 16> PicG2{};
    QTimer* Timer1 = nullptr;
    QLabel* StatusBar1 = nullptr;
    // Menu entries by their id in form1_layout::kMenuBar; a submenu's entry is its menuAction.
    std::map<int, QAction*> menuActions;
    QAction* action(MenuEntry Form1::*entry) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildWindow();
    void buildMenus();
    void centre();
    void syncTiles(int gameType);

    ImageList ImageList1_;
    Form1 core_;
    TileSurfaces shownTiles_;
    bool centred_ = false;
    // After core_: its threads are cancelled and joined before the rules they answer go.
    SearchThreads searches_;
};

// Made in form1_window.cpp, where the modal windows' classes are known.
extern template class ToolkitFrontend<Form1Window>;
