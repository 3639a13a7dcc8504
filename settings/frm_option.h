#pragma once

#include "game/form1.h"
#include "game/seams.h"

#include <array>
#include <cstdint>
#include <string>

// The options window: hall of fame, picture choice and about, chosen by Form1::ShowMsg when it
// loads. It keeps no state of its own between openings.
class FrmOption : public ModalWindow {
  public:
    explicit FrmOption(Form1& main);

    // Runs at every opening, before the window shows.
    void Form_Load();

    void ImgBG_Click(std::int16_t Index);
    void CmdOK2_Click();
    void Image5_Click();

    // What the controls show.
    std::string Caption;
    Frame PicAbout;
    Frame PicOption;
    std::string Lbl33Champion;
    std::string Lbl44Champion;
    // The picture each thumbnail shows (0: none yet).
    std::array<int, 4> ImgBG{};

    Form1& main() const { return main_; }

  private:
    void ShowAbout();
    void ShowBackdrop();

    Form1& main_;
};

// The options window's controls, for the front-ends to build; positions in twips.
namespace frm_option_layout {

constexpr int kOuterWidth = 3300;
constexpr int kClientWidth = 3210;
constexpr int kClientHeight = 3285;
constexpr TwipsRect kPicAbout{0, 0, 3200, 3345};
constexpr TwipsRect kImage1{90, 45, 480, 480};
constexpr TwipsRect kLblAbout{675, 315, 2445, 285};
constexpr TwipsRect kImage5{1200, 720, 480, 480};
constexpr TwipsRect kLabel2{540, 1080, 2310, 240};
constexpr TwipsRect kLabel3{495, 1440, 2175, 195};
constexpr TwipsRect kImage3{45, 1710, 3075, 60};
// These three labels are sized to their text.
constexpr TwipsRect kLabel1{315, 1980, 0, 0};
constexpr TwipsRect kLbl33Champion{630, 2205, 0, 0};
constexpr TwipsRect kLbl44Champion{630, 2430, 0, 0};
constexpr TwipsRect kCmdOK2{2250, 2925, 780, 285};
constexpr TwipsRect kPicOption{0, 0, 3200, 3195};
// ImgBG(k): 3 top left, 1 top right, 2 bottom left, 0 bottom right.
constexpr std::array<TwipsRect, 4> kImgBG{{
    {1710, 1755, 1200, 1200},
    {1710, 180, 1200, 1200},
    {180, 1755, 1200, 1200},
    {180, 180, 1200, 1200},
}};
// Blue text, packed 0x00BBGGRR.
constexpr std::uint32_t kBlue = 0xFF0000;
// Icons are 32 x 32 pixels.
constexpr int kIconSize = 32;

// Fixed texts.
std::string aboutTitle();   // product title and version
std::string contactLine();  // the mail address as shown
constexpr const char* kMakerLine = "KORVANEL 出品";
constexpr const char* kChampion = "冠军：";
constexpr const char* kOK = "OK";

}  // namespace frm_option_layout
