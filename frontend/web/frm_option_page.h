#pragma once

#include "frontend/web/form1_page.h"
#include "settings/frm_option.h"

#include <array>

// The options window in the page: hall of fame, picture choice and about, drawn from FrmOption.
class FrmOptionPage : public DialogPage {
  public:
    FrmOptionPage(FrmOption& core, Form1Page& main);
    ~FrmOptionPage() override;
    void sync() override;

  private:
    FrmOption& core_;
    Form1Page& main_;
    int PicAbout_ = 0;
    int PicOption_ = 0;
    int Lbl33Champion_ = 0;
    int Lbl44Champion_ = 0;
    std::array<int, 4> ImgBG_{};
    std::array<int, 4> shownPictures_{};
};
