#include "settings/frm_option.h"

#include "game/app_info.h"
#include "settings/settings_store.h"

namespace {

constexpr int kShown = 0;

}  // namespace

FrmOption::FrmOption(Form1& main) : ModalWindow(main.frontend()), main_(main) {
    PicOption.Left = kOutOfView;  // the about panel is the one in view at first
}

void FrmOption::Form_Load() {
    switch (main_.ShowMsg) {
        case show_msg::kBackdrop:
            Caption = "Backdrop";
            ShowBackdrop();
            break;
        case show_msg::kHallOfFame:
            Caption = "拼图英雄榜";
            ShowAbout();
            break;
        default:
            Caption = "Abot...";
            ShowAbout();
            break;
    }
}

void FrmOption::ShowAbout() {
    PicAbout = Frame{kShown, 0};
    PicOption.Left = kOutOfView;
    Lbl33Champion = "3 X 3 共移动：" + std::to_string(main_.MinStep33);
    Lbl44Champion = "4 X 4 共移动：" + std::to_string(main_.MinStep44);
}

void FrmOption::ShowBackdrop() {
    PicAbout.Left = kOutOfView;
    PicOption.Left = kShown;
    PicOption.Top = 0;
    for (int i = 1; i <= pictures::kLastChoice; ++i) ImgBG[i - 1] = i;
}

void FrmOption::ImgBG_Click(std::int16_t Index) {
    if (Index < 0 || Index >= pictures::kLastChoice) return;
    main_.PicType = Index + 1;
    if (main_.GameType == board::kGame44 && main_.PicType == pictures::kNumbers) {
        main_.PicType = pictures::kNumbers44;
        SaveRegValue(kAppKey, kPTypeValue, pictures::kNumbers);
    } else {
        SaveRegValue(kAppKey, kPTypeValue, main_.PicType);
    }
    main_.GameInit();
    Unload();
}

void FrmOption::CmdOK2_Click() {
    Unload();
}

void FrmOption::Image5_Click() {
    OpenAddress(kMakerMail);
}

namespace frm_option_layout {

std::string aboutTitle() {
    return std::string(kAppTitle) + "  1.0 版";
}

std::string contactLine() {
    return std::string(kMakerMail).substr(7);  // without "mailto:"
}

}  // namespace frm_option_layout
