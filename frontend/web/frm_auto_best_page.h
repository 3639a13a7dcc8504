#pragma once

#include "frontend/web/form1_page.h"
#include "solver/frm_auto_best.h"

#include <string>

// The solver window in the page, drawn from frmAutoBest; its page view shows the maker's pages
// as the core writes them, with the board drawn on a canvas.
class FrmAutoBestPage : public DialogPage {
  public:
    FrmAutoBestPage(frmAutoBest& core, Form1Page& main);
    ~FrmAutoBestPage() override;
    void sync() override;

  private:
    void showPage(const std::string& address);

    frmAutoBest& core_;
    Form1Page& main_;
    int WebBrowser1_ = 0;
    int CmdDo_ = 0;
    int txtResult_ = 0;
    int CmdPrior_ = 0;
    int CmdNext_ = 0;
    std::string shownAddress_;
};
