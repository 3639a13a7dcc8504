#pragma once

#include "frontend/win32/modal_frame.h"
#include "frontend/win32/picture_box.h"

#include <array>
#include <memory>

class Form1Window;
class FrmOption;

// The options window on Win32, drawn from FrmOption's state.
class FrmOptionWindow : public ModalFrame {
  public:
    FrmOptionWindow(FrmOption& core, Form1Window& main);
    ~FrmOptionWindow() override;

    FrmOption& core() { return core_; }
    void sync() override;

    HWND PicAbout = nullptr;
    std::unique_ptr<PictureBox> Image1;
    HWND LblAbout = nullptr;
    std::unique_ptr<PictureBox> Image5;
    HWND Label2 = nullptr;
    HWND Label3 = nullptr;
    HWND Image3 = nullptr;
    HWND Label1 = nullptr;
    HWND Lbl33Champion = nullptr;
    HWND Lbl44Champion = nullptr;
    HWND CmdOK2 = nullptr;
    HWND PicOption = nullptr;
    std::array<std::unique_ptr<PictureBox>, 4> ImgBG;

  protected:
    void layout(int dpi) override;
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // A label sized to its text, at its place in twips.
    void fitLabel(HWND label, const TwipsRect& at);

    FrmOption& core_;
    std::array<int, 4> shownPictures_{};
};
