#include "frontend/win32/form1_window.h"

#include "frontend/win32/frm_auto_best_window.h"
#include "frontend/win32/frm_option_window.h"
#include "resource_ids.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

using namespace form1_layout;
using win32_front::toPx;
using win32_front::wide;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = 0;
// The strip and the boards above the status bar.
constexpr int kBoardBottom = kPicture1.Height + 50 + kPic33Height;

const MenuItem* menuItem(int id) {
    for (const MenuItem& item : kMenuBar)
        if (item.id == id) return &item;
    return nullptr;
}

}  // namespace

Form1Window::Form1Window(board::Random random) : core_(*this, std::move(random)) {
    buildWindow();
    buildMenus();
    layout(dpi_);  // with the menu bar in place: it takes its share of the window's height
    searches_ = std::make_unique<SearchThreads>([window = hwnd_](SearchThreads::Task task) {
        auto posted = std::make_unique<SearchThreads::Task>(std::move(task));
        if (PostMessageW(window, kSearchDone, 0, reinterpret_cast<LPARAM>(posted.get()))) {
            posted.release();  // the message owns it now
        }
    });
    core_.Form_Load();
    sync();
}

Form1Window::~Form1Window() {
    searches_.reset();
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    for (HICON icon : {smileyIcon_, bigIcon_, smallIcon_})
        if (icon) DestroyIcon(icon);
}

void Form1Window::buildWindow() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const wchar_t* cls = win32_front::registerClass(L"TessleForm1", proc,
                                                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    hwnd_ = CreateWindowExW(kExStyle, cls, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
    dpi_ = win32_front::dpiOf(hwnd_);
    HINSTANCE instance = GetModuleHandleW(nullptr);

    Picture1 = win32_front::createPanel(hwnd_);
    PicStep_ = std::make_unique<PictureBox>(Picture1, 0, PictureBox::Options{true, false, 0});
    Command1 = CreateWindowExW(
        0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_ICON, 0, 0, 0, 0, Picture1,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCommand1Id)), instance, nullptr);
    win32_front::addTooltip(hwnd_, Command1, kNewGameTip);
    PicTime_ = std::make_unique<PictureBox>(Picture1, 0, PictureBox::Options{true, false, 0});

    Pic33 = win32_front::createPanel(hwnd_);
    for (int i = 0; i < 9; ++i) {
        PicG1[i] = std::make_unique<PictureBox>(Pic33, i);
        PicG1[i]->onClick = [this](int index) { forward([&] { core_.PicG1_Click(index); }); };
    }
    Pic44 = win32_front::createPanel(hwnd_);
    for (int i = 0; i < 16; ++i) {
        PicG2[i] = std::make_unique<PictureBox>(Pic44, i);
        PicG2[i]->onClick = [this](int index) { forward([&] { core_.PicG2_Click(index); }); };
    }

    StatusBar1 = CreateWindowExW(0, STATUSCLASSNAMEW, wide(kStatusText).c_str(),
                                 WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 0, 0,
                                 0, hwnd_, nullptr, instance, nullptr);
}

void Form1Window::buildMenus() {
    menuBar = CreateMenu();
    std::map<int, HMENU> menus{{0, menuBar}};
    std::map<HMENU, UINT> counts;
    for (const MenuItem& item : kMenuBar) {
        HMENU parent = menus.at(item.parent);
        const std::wstring caption = wide(item.caption);
        MenuSlot slot{parent, counts[parent]++, nullptr};
        if (hasEntries(item.id)) {
            slot.popup = CreatePopupMenu();
            AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(slot.popup),
                        caption.c_str());
            menus[item.id] = slot.popup;
        } else if (caption == L"-") {
            AppendMenuW(parent, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(parent, MF_STRING, static_cast<UINT_PTR>(item.id), caption.c_str());
        }
        menuSlots[item.id] = slot;
    }
    SetMenu(hwnd_, menuBar);
}

// ---- Placement ----

void Form1Window::layout(int dpi) {
    dpi_ = dpi;
    RECT outer{0, 0, toPx(kClientWidth, dpi), toPx(kClientHeight, dpi)};
    win32_front::adjustWindowRect(outer, kStyle, TRUE, kExStyle, dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame Windows reckons for a DPI need not be the one it draws (a menu bar that wraps,
    // or one that does not grow with the DPI): measure the client area and make up the difference.
    RECT client;
    GetClientRect(hwnd_, &client);
    const int dw = toPx(kClientWidth, dpi) - client.right;
    const int dh = toPx(kClientHeight, dpi) - client.bottom;
    if (dw != 0 || dh != 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left + dw,
                     outer.bottom - outer.top + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    const RECT strip = win32_front::toRect(kPicture1, dpi);
    SetWindowPos(Picture1, nullptr, strip.left, strip.top, strip.right - strip.left,
                 strip.bottom - strip.top, SWP_NOZORDER | SWP_NOACTIVATE);
    PicStep_->place(kPicStep, dpi);
    PicTime_->place(kPicTime, dpi);
    const RECT button = win32_front::toRect(kCommand1, dpi);
    SetWindowPos(Command1, nullptr, button.left, button.top, button.right - button.left,
                 button.bottom - button.top, SWP_NOZORDER | SWP_NOACTIVATE);
    setSmiley();

    for (int i = 0; i < 9; ++i) PicG1[i]->place(tileRect(board::kGame33, i), dpi);
    for (int i = 0; i < 16; ++i) PicG2[i]->place(tileRect(board::kGame44, i), dpi);
    win32_front::placeFrame(Pic33, core_.Pic33, kFrameWidth, kPic33Height, dpi);
    win32_front::placeFrame(Pic44, core_.Pic44, kFrameWidth, kPic44Height, dpi);

    SendMessageW(StatusBar1, WM_SETFONT,
                 reinterpret_cast<WPARAM>(win32_front::namedFont(
                     {L"SimSun", L"宋体", L"NSimSun", L"Microsoft YaHei UI", L"Microsoft YaHei"},
                     kStatusPointSize, dpi)),
                 TRUE);
    const int top = toPx(kBoardBottom, dpi);
    SetWindowPos(StatusBar1, nullptr, 0, top, toPx(kClientWidth, dpi),
                 toPx(kClientHeight, dpi) - top, SWP_NOZORDER | SWP_NOACTIVATE);

    const int iconSize = win32_front::scale(32, dpi);
    // The new icons are in place before the old ones go: the window may draw them meanwhile.
    for (HICON* icon : {&bigIcon_, &smallIcon_}) {
        const int size = icon == &bigIcon_ ? iconSize : win32_front::scale(16, dpi);
        HICON next =
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TESSLE),
                                          IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        SendMessageW(hwnd_, WM_SETICON, icon == &bigIcon_ ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(next));
        if (*icon) DestroyIcon(*icon);
        *icon = next;
    }

    // Every surface is drawn afresh at the new size.
    shownTiles_.forget();
}

void Form1Window::setSmiley() {
    const int size = win32_front::scale(kSmileySize, dpi_);
    HICON next = ImageList1_.smiley(dpi_).scaled(size, size).icon();
    SendMessageW(Command1, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(next));
    if (smileyIcon_) DestroyIcon(smileyIcon_);
    smileyIcon_ = next;
}

// The whole window, frame included, sits in the middle of the work area of its screen.
void Form1Window::centre() {
    RECT frame;
    GetWindowRect(hwnd_, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1Window::show(int showCommand) {
    centre();
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
}

// ---- Drawing what the rules say ----

void Form1Window::sync() {
    if (!hwnd_) return;
    SetWindowTextW(hwnd_, wide(core_.Caption).c_str());
    win32_front::placeFrame(Pic33, core_.Pic33, kFrameWidth, kPic33Height, dpi_);
    win32_front::placeFrame(Pic44, core_.Pic44, kFrameWidth, kPic44Height, dpi_);
    syncTiles(board::kGame33);
    syncTiles(board::kGame44);
    bool barChanged = false;
    for (const MenuItem& item : kMenuBar) {
        const MenuSlot& slot = menuSlots.at(item.id);
        const MenuEntry& state = core_.*item.entry;
        const UINT enable = MF_BYPOSITION | (state.Enabled ? MF_ENABLED : MF_GRAYED);
        const UINT before = EnableMenuItem(slot.menu, slot.position, enable);
        if (slot.menu == menuBar && before != static_cast<UINT>(-1) &&
            ((before & MF_GRAYED) != 0) == state.Enabled) {
            barChanged = true;
        }
        if (item.tickable) {
            CheckMenuItem(slot.menu, slot.position,
                          MF_BYPOSITION | (state.Checked ? MF_CHECKED : MF_UNCHECKED));
        }
    }
    if (barChanged) DrawMenuBar(hwnd_);
}

void Form1Window::syncTiles(int gameType) {
    for (const int cell : shownTiles_.changed(core_, gameType)) {
        const TilePicture& want = core_.tile(gameType, cell);
        PictureBox* surface = tile(gameType, cell);
        if (want.empty()) {
            surface->clear();
        } else {
            surface->paintPicture(ImageList1_.ListImage(want.picture, dpi_), want.sx, want.sy,
                                  want.w, want.h);
        }
        if (core_.hinted(gameType, cell)) drawHintMark(*surface);
    }
}

PictureBox* Form1Window::tile(int gameType, int cell) const {
    if (gameType == board::kGame44) return cell >= 0 && cell < 16 ? PicG2[cell].get() : nullptr;
    return cell >= 0 && cell < 9 ? PicG1[cell].get() : nullptr;
}

// ---- Frontend ----

int Form1Window::MsgBox(const std::string& prompt, int style, const std::string& title) {
    return win32_front::showMessageBox(prompt, style, title);
}

void Form1Window::runDialog(ModalFrame& dialog) {
    dialog.runModal();
}

void Form1Window::OpenAddress(const std::string& address) {
    ShellExecuteW(GetActiveWindow(), L"open", wide(address).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

template class ToolkitFrontend<Form1Window>;

void Form1Window::EnableTimer1(bool enabled) {
    if (enabled) {
        SetTimer(hwnd_, kTimer1Id, 1000, nullptr);
    } else {
        KillTimer(hwnd_, kTimer1Id);
    }
}
bool Form1Window::IsForeground() {
    return GetForegroundWindow() == hwnd_;
}
void Form1Window::Unload() {
    // After the handler that asked has returned: the window goes the way its close box takes.
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void Form1Window::LogError(const std::string& text) {
    OutputDebugStringW((win32_front::wide(text) + L"\n").c_str());
}

void Form1Window::SearchHint(const optimal::Position& position,
                             std::shared_ptr<std::atomic<bool>> cancel,
                             std::function<void(const optimal::Answer&)> found) {
    searches_->start(position, std::move(cancel), std::move(found));
}

void Form1Window::PrepareHints() {
    searches_->prepare();
}

// ---- Window events ----

void Form1Window::menuOpened(HMENU popup) {
    for (const MenuItem& item : kMenuBar) {
        if (menuSlots.at(item.id).popup != popup) continue;
        forward([&] {
            if (item.command) (core_.*item.command)();  // refreshes its entries
        });
        return;
    }
}

void Form1Window::menuCommand(int id) {
    const MenuItem* item = menuItem(id);
    if (!item || !item->command || hasEntries(id)) return;
    forward([&] { (core_.*item->command)(); });
}

LRESULT CALLBACK Form1Window::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Form1Window* self = win32_front::objectOf<Form1Window>(window, message, lParam);
    if (self && message == WM_NCCREATE) self->hwnd_ = window;
    if (self && self->hwnd_ == window) return self->handle(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form1Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kCommand1Id && HIWORD(wParam) == BN_CLICKED) {
                forward([this] { core_.Command1_Click(); });
                SetFocus(hwnd_);  // the button keeps no focus rectangle after a deal
            } else if (HIWORD(wParam) == 0 && lParam == 0) {
                menuCommand(LOWORD(wParam));
            }
            return 0;
        case WM_KEYDOWN:
            // The classic key codes are the virtual keys. A box, a modal window (this one is
            // disabled) or an open menu (its own loop) takes the keys before they come here;
            // Alt chords come as WM_SYSKEYDOWN and stay the menus' access keys.
            if ((wParam >= VK_LEFT && wParam <= VK_DOWN) || wParam == 'H') {
                if (GetKeyState(VK_CONTROL) >= 0) {
                    forward([&] { core_.Form_KeyDown(static_cast<int>(wParam)); });
                }
                return 0;
            }
            break;
        case kSearchDone: {
            const std::unique_ptr<SearchThreads::Task> task(
                reinterpret_cast<SearchThreads::Task*>(lParam));
            forward(*task);
            return 0;
        }
        case WM_INITMENUPOPUP:
            if (!HIWORD(lParam)) menuOpened(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_TIMER:
            // A tick changes only the clock, which draws itself on its surface: nothing else is
            // set again (the solver's text box would lose its selection every second).
            if (wParam == kTimer1Id) core_.Timer1_Timer();
            return 0;
        case WM_DPICHANGED: {
            layout(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            syncTiles(board::kGame33);
            syncTiles(board::kGame44);
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        }
        case WM_QUERYENDSESSION:
            return TRUE;  // the game never holds up the end of a session
        case WM_ENDSESSION:
            // Windows ends the process once this returns, so no WM_CLOSE follows: the records go
            // now. It comes even while a modal window or a box keeps this window disabled, and
            // EndSession logs a failed write rather than waiting on a box. A cancelled end
            // (wParam FALSE) writes nothing, or the records the player sets later would be lost.
            if (wParam) forward([this] { core_.EndSession(); });
            return 0;
        case WM_CLOSE:
            if (!closed_) {
                closed_ = true;
                forward([this] { core_.Form_Unload(); });  // closing always proceeds
            }
            EnableTimer1(false);
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            if (onDestroyed) onDestroyed();
            return 0;
        case WM_NCDESTROY: {
            HWND gone = hwnd_;
            hwnd_ = nullptr;
            return DefWindowProcW(gone, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}
