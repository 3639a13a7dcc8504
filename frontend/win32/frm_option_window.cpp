#include "frontend/win32/frm_option_window.h"

#include "frontend/win32/form1_window.h"
#include "settings/frm_option.h"

namespace {

using namespace frm_option_layout;
using win32_front::wide;

HWND label(HWND parent, const std::string& text, DWORD style = SS_LEFT) {
    return CreateWindowExW(0, L"STATIC", wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                           0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

FrmOptionWindow::FrmOptionWindow(FrmOption& core, Form1Window& main)
    : ModalFrame(core, main, kClientWidth, kClientHeight), core_(core) {
    create();
    const PictureBox::Options image{false, false, PictureBox::kButtonFace};
    const PictureBox::Options link{false, true, PictureBox::kButtonFace};

    PicAbout = win32_front::createPanel(hwnd_);
    Image1 = std::make_unique<PictureBox>(PicAbout, 0, image);
    LblAbout = label(PicAbout, aboutTitle());
    Image5 = std::make_unique<PictureBox>(PicAbout, 0, link);
    Image5->onClick = [this](int) { forward([this] { core_.Image5_Click(); }); };
    win32_front::addTooltip(hwnd_, Image5->hwnd(), contactLine());
    Label2 = label(PicAbout, contactLine(), SS_CENTER);
    Label3 = label(PicAbout, kMakerLine, SS_CENTER);
    Image3 = label(PicAbout, "", SS_ETCHEDHORZ);
    Label1 = label(PicAbout, kChampion);
    Lbl33Champion = label(PicAbout, "");
    Lbl44Champion = label(PicAbout, "");
    CmdOK2 = CreateWindowExW(0, L"BUTTON", wide(kOK).c_str(),
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
                             PicAbout, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
                             GetModuleHandleW(nullptr), nullptr);

    PicOption = win32_front::createPanel(hwnd_);
    for (int k = 0; k < 4; ++k) {
        ImgBG[k] = std::make_unique<PictureBox>(PicOption, k, link);
        ImgBG[k]->onClick = [this](int index) {
            forward([&] { core_.ImgBG_Click(static_cast<std::int16_t>(index)); });
        };
    }
    resize(dpi_);
    sync();
}

FrmOptionWindow::~FrmOptionWindow() = default;

void FrmOptionWindow::layout(int dpi) {
    Image1->place(kImage1, dpi);
    Image1->paintStretched(main_.ImageList1().program());
    win32_front::put(LblAbout, kLblAbout, dpi);
    Image5->place(kImage5, dpi);
    Image5->paintStretched(main_.ImageList1().mail(dpi));
    win32_front::put(Label2, kLabel2, dpi);
    win32_front::put(Label3, kLabel3, dpi);
    // The rule is one etched line in the middle of its place: the static draws its top and
    // bottom edges, two device pixels each at any DPI, so it is made just that high for them
    // to fall on each other.
    const RECT rule = win32_front::toRect(kImage3, dpi);
    const int thick = 2;
    SetWindowPos(Image3, nullptr, rule.left, (rule.top + rule.bottom - thick) / 2,
                 rule.right - rule.left, thick, SWP_NOZORDER | SWP_NOACTIVATE);
    fitLabel(Label1, kLabel1);
    win32_front::put(CmdOK2, kCmdOK2, dpi);
    for (int k = 0; k < 4; ++k) ImgBG[k]->place(kImgBG[k], dpi);
    shownPictures_.fill(0);  // drawn again at the new size
    if (Lbl33Champion) {
        fitLabel(Lbl33Champion, kLbl33Champion);
        fitLabel(Lbl44Champion, kLbl44Champion);
    }
}

void FrmOptionWindow::fitLabel(HWND control, const TwipsRect& at) {
    HFONT font = win32_front::uiFont(dpi_);
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), length, &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    SetWindowPos(control, nullptr, win32_front::toPx(at.Left, dpi_),
                 win32_front::toPx(at.Top, dpi_), size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void FrmOptionWindow::sync() {
    if (!hwnd_ || closed()) return;
    SetWindowTextW(hwnd_, wide(core_.Caption).c_str());
    win32_front::placeFrame(PicAbout, core_.PicAbout, kPicAbout.Width, kPicAbout.Height, dpi_);
    win32_front::placeFrame(PicOption, core_.PicOption, kPicOption.Width, kPicOption.Height, dpi_);
    SetWindowTextW(Lbl33Champion, wide(core_.Lbl33Champion).c_str());
    fitLabel(Lbl33Champion, kLbl33Champion);
    SetWindowTextW(Lbl44Champion, wide(core_.Lbl44Champion).c_str());
    fitLabel(Lbl44Champion, kLbl44Champion);
    for (int k = 0; k < 4; ++k) {
        if (core_.ImgBG[k] == shownPictures_[k]) continue;
        if (core_.ImgBG[k] != 0)
            ImgBG[k]->paintStretched(main_.ImageList1().ListImage(core_.ImgBG[k], dpi_));
        shownPictures_[k] = core_.ImgBG[k];
    }
}

LRESULT FrmOptionWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
                forward([this] { core_.CmdOK2_Click(); });
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC: {
            const auto control = reinterpret_cast<HWND>(lParam);
            auto* dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            const bool blue = control == LblAbout || control == Label1 ||
                              control == Lbl33Champion || control == Lbl44Champion;
            SetTextColor(dc, blue ? RGB(kBlue & 0xFF, (kBlue >> 8) & 0xFF, (kBlue >> 16) & 0xFF)
                                  : GetSysColor(COLOR_WINDOWTEXT));
            // The contact line overlaps the mail icon above it: its text goes over the icon
            // without wiping it out. Its text never changes, so nothing needs erasing.
            if (control == Label2) {
                SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            }
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        default:
            break;
    }
    return ModalFrame::handle(message, wParam, lParam);
}
