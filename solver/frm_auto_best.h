#pragma once

#include "game/form1.h"
#include "game/seams.h"
#include "solver/bfs_solver.h"
#include "solver/maker_site.h"

#include <cstdint>
#include <string>

struct Button {
    bool Enabled = true;
};

// Stands in for the web view: the address it was last pointed at. The front-end shows the page
// it draws for that address; nothing is fetched.
struct WebBrowser {
    std::string LocationURL;
    void Navigate(const std::string& address) { LocationURL = address; }
};

// The solver window: runs one search per opening on the position handed over in STATE and
// walks through its result, each position shown on the page view.
class frmAutoBest : public ModalWindow {
  public:
    explicit frmAutoBest(Form1& main);

    std::string STATE;

    // Runs at every opening, before the window shows.
    void Form_Load();

    void CmdDo_Click();
    void CmdNext_Click();
    void CmdPrior_Click();

    std::int16_t CurStep() const { return CurStep_; }
    const BfsSolver& solver() const { return solver_; }
    // The picture a page is drawn with: the one its address names, else the one in play, so
    // the start page shows the same picture as the steps after it.
    int pagePicture(const maker_site::Page& page) const;

    // What the controls show.
    std::string Caption;
    WebBrowser WebBrowser1;
    Button CmdDo;
    std::string txtResult;
    Button CmdPrior;
    Button CmdNext;

    Form1& main() const { return main_; }

  private:
    int lastStep() const;
    void showStep();

    Form1& main_;
    BfsSolver solver_;
    std::int16_t CurStep_ = 0;
};

// The solver window's controls, for the front-ends to build; positions in twips.
namespace frm_auto_best_layout {

constexpr int kClientWidth = 6495;
constexpr int kClientHeight = 5235;
constexpr TwipsRect kWebBrowser1{0, 0, 6495, 4695};
constexpr TwipsRect kCmdDo{120, 4800, 1095, 375};
constexpr TwipsRect kTxtResult{1560, 4800, 2655, 375};
constexpr TwipsRect kCmdPrior{4320, 4800, 975, 375};
constexpr TwipsRect kCmdNext{5400, 4800, 975, 375};
constexpr const char* kCmdDoCaption = "自动求解";
constexpr const char* kCmdPriorCaption = "上一步";
constexpr const char* kCmdNextCaption = "下一步";

}  // namespace frm_auto_best_layout
