// The Win32 windows for real, under Wine on a virtual display: placement at several DPIs, what
// the backing bitmaps hold, mouse clicks and menu messages reaching the rules, the foreground
// check of the clock, closing. The rules themselves are the core tests' business.
#include "frontend/win32/form1_window.h"
#include "frontend/win32/frm_auto_best_window.h"
#include "frontend/win32/frm_option_window.h"
#include "game/app_info.h"
#include "settings/frm_option.h"
#include "settings/settings_store.h"
#include "settings/settings_store_registry.h"
#include "solver/bfs_solver.h"
#include "solver/frm_auto_best.h"
#include "support/scripted_box.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using win32_front::toPx;

// Delivers whatever is posted, without waiting.
void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Runs `step` once from inside whatever loop runs next (a modal window's, a message box's), as
// soon as it waits for messages: what was posted before is handled first.
std::function<void()> pendingStep;
void CALLBACK runPendingStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> step = std::move(pendingStep);
    if (step) step();
}
void soon(std::function<void()> step) {
    pendingStep = std::move(step);
    SetTimer(nullptr, 0, 10, runPendingStep);
}

// Presses a key as the keyboard would, for the dialog manager of whatever loop handles it.
void press(HWND to, WPARAM key) {
    PostMessageW(to, WM_KEYDOWN, key, 1);
    PostMessageW(to, WM_KEYUP, key, 0xC0000001);
}

// Shown as far as the control itself goes: the windows under test need not be on screen.
bool shown(HWND control) {
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT rectIn(HWND control, HWND parent) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A press and release of the left button at a point of a control, posted as the mouse would.
void click(HWND control, int x = 5, int y = 5, bool press = true, bool releaseInside = true) {
    const LPARAM at = MAKELPARAM(x, y);
    if (press) PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(control, WM_LBUTTONUP, 0, releaseInside ? at : MAKELPARAM(-30, -30));
    pump();
}

// The picture pixel a surface shows at its backing pixel (0, 0), 0x00RRGGBB.
std::uint32_t picturePixel(const Picture& picture, int x, int y) {
    return picture.pixels()[static_cast<std::size_t>(y) * picture.width() + x] & 0xFFFFFF;
}

std::uint32_t windowColour() {
    const COLORREF c = GetSysColor(COLOR_WINDOW);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

int countColour(const PictureBox& box, std::uint32_t colour) {
    int n = 0;
    for (int y = 0; y < box.backingHeight(); ++y)
        for (int x = 0; x < box.backingWidth(); ++x) n += box.pixel(x, y) == colour;
    return n;
}

// The first generator seed whose 3 x 3 deal can be solved (an even count of inversions).
unsigned solvableSeed() {
    for (unsigned seed = 1;; ++seed) {
        std::mt19937 engine(seed);
        const board::Map map = board::deal(board::kGame33, [&] {
            return static_cast<float>(engine() >> 8) * (1.0f / 16777216.0f);
        });
        int inversions = 0;
        for (int i = 0; i < 9; ++i)
            for (int j = i + 1; j < 9; ++j)
                inversions += map[i] != 8 && map[j] != 8 && map[i] > map[j];
        if (inversions % 2 == 0) return seed;
    }
}

board::Random seeded(unsigned seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine] { return static_cast<float>((*engine)() >> 8) * (1.0f / 16777216.0f); };
}

// Where the game's records live, reached as the store reaches them: the machine key and the
// player's copy of it.
std::vector<store::registry::Key> recordKeys() {
    return {store::registry::machineKey(kAppKey), store::registry::playersCopy(kAppKey)};
}

// Gives a record key a new access list, creating the key when missing.
void setRecordKeySecurity(const store::registry::Key& where, const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    HKEY key = nullptr;
    LONG status =
        RegCreateKeyExA(where.root, where.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        WRITE_DAC | where.view, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

// Both record keys refuse to have values set, so every record write fails.
void refuseRecordWrites() {
    for (const store::registry::Key& where : recordKeys())
        setRecordKeySecurity(where, "D:(D;;0x0002;;;WD)(A;;KA;;;WD)");
}

// Removes the game's records, whatever access a test left their keys with.
void deleteRecords() {
    for (const store::registry::Key& where : recordKeys()) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(where.root, where.path.c_str(), 0, KEY_READ | where.view, &key) !=
            ERROR_SUCCESS) {
            continue;
        }
        RegCloseKey(key);
        setRecordKeySecurity(where, "D:(A;;KA;;;WD)");
        const std::size_t cut = where.path.rfind('\\');
        HKEY vendor = nullptr;
        if (RegOpenKeyExA(where.root, where.path.substr(0, cut).c_str(), 0,
                          KEY_ALL_ACCESS | where.view, &vendor) == ERROR_SUCCESS) {
            RegDeleteTreeA(vendor, where.path.substr(cut + 1).c_str());
            RegCloseKey(vendor);
        }
    }
}

// Records a refused write keeps for later go to a folder of the tests', emptied around each.
std::string pendingFolder() {
    return (std::filesystem::temp_directory_path() / "tessle-win32-tests-pending").string();
}

class Win32Windows : public ::testing::Test, public ScriptedBoxes {
  protected:
    void SetUp() override {
        deleteRecords();
        std::filesystem::remove_all(pendingFolder());
        store::setPendingDirectory(pendingFolder());
    }
    void TearDown() override {
        deleteRecords();
        std::filesystem::remove_all(pendingFolder());
    }

    // The real main window, with its boxes answered from the script, its modal windows run by
    // onDialog in place of their loop, and its log kept.
    class TestWindow : public Form1Window {
      public:
        explicit TestWindow(Win32Windows& test, board::Random random = {})
            : Form1Window(std::move(random)), test_(test) {}
        int MsgBox(const std::string& prompt, int style, const std::string& title) override {
            if (!realBoxes) return test_.answer(prompt, style, title);
            const int answer = Form1Window::MsgBox(prompt, style, title);
            test_.boxes.push_back({prompt, style, title});
            return answer;
        }
        bool realBoxes = false;  // the real MessageBoxW instead of the script
        void LogError(const std::string& text) override { logged.push_back(text); }
        void OpenAddress(const std::string& address) override { opened.push_back(address); }
        std::vector<std::string> logged;
        std::vector<std::string> opened;

      protected:
        void runDialog(ModalFrame& dialog) override {
            if (test_.onDialog) test_.onDialog(dialog);
        }

      private:
        Win32Windows& test_;
    };

    std::function<void(ModalFrame&)> onDialog;

    // Opens a menu as Windows does when the player clicks it, then chooses one of its entries.
    static void choose(Form1Window& w, int menuId, int entryId) {
        SendMessageW(w.hwnd(), WM_INITMENUPOPUP,
                     reinterpret_cast<WPARAM>(w.menuSlots.at(menuId).popup), 0);
        SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(entryId, 0), 0);
        pump();
    }

    static UINT state(Form1Window& w, int id) {
        const Form1Window::MenuSlot& slot = w.menuSlots.at(id);
        return GetMenuState(slot.menu, slot.position, MF_BYPOSITION);
    }

    static void deal(Form1Window& w) {
        SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(Form1Window::kCommand1Id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(w.Command1));
        pump();
    }

    // Deals and plays the 3 x 3 game to its end by clicks on the surfaces, along a shortest
    // path: a new record. `moves` is how many it took.
    static void winByClicks(Form1Window& w, int& moves) {
        deal(w);
        BfsSolver solver(board::toBoardState(w.core().TileMap()));
        ASSERT_TRUE(solver.FindAnswer());
        std::vector<std::string> positions;
        for (auto it = solver.AnswerPath.rbegin(); it != solver.AnswerPath.rend(); ++it)
            positions.push_back(solver.MapList[*it].Map);
        positions.emplace_back(BfsSolver::kGoal);
        std::string now = board::toBoardState(w.core().TileMap());
        moves = 0;
        for (const std::string& next : positions) {
            if (next == now) continue;
            click(w.PicG1[static_cast<int>(next.find('0'))]->hwnd());
            now = board::toBoardState(w.core().TileMap());
            ASSERT_EQ(now, next);
            ++moves;
        }
        ASSERT_FALSE(w.core().IsPlaying());
    }
};

// ---- Placement and drawing at each DPI ----

class AtDpi : public Win32Windows, public ::testing::WithParamInterface<int> {};

// Every control sits where its twips say at the window's DPI, and the surfaces draw at that
// density: the same strokes, the same cut of the picture, only more pixels.
TEST_P(AtDpi, ControlsAndDrawingFollowTheTwips) {
    const int dpi = GetParam();
    TestWindow w(*this);
    RECT suggested;
    GetWindowRect(w.hwnd(), &suggested);
    SendMessageW(w.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    pump();
    ASSERT_EQ(w.dpi(), dpi);

    RECT client;
    GetClientRect(w.hwnd(), &client);
    EXPECT_EQ(client.right, toPx(3345, dpi));
    EXPECT_EQ(client.bottom, toPx(4110, dpi));
    const struct {
        const char* what;
        HWND control;
        HWND parent;
        TwipsRect at;
    } controls[] = {
        {"PicStep", w.PicStep_->hwnd(), w.Picture1, form1_layout::kPicStep},
        {"Command1", w.Command1, w.Picture1, form1_layout::kCommand1},
        {"PicTime", w.PicTime_->hwnd(), w.Picture1, form1_layout::kPicTime},
        {"Pic33", w.Pic33, w.hwnd(), {80, 485, 3300, 3300}},
        {"PicG1(5)", w.PicG1[5]->hwnd(), w.Pic33, {2160, 1080, 1100, 1100}},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.what);
        const RECT r = rectIn(c.control, c.parent);
        EXPECT_EQ(r.left, toPx(c.at.Left, dpi));
        EXPECT_EQ(r.top, toPx(c.at.Top, dpi));
        EXPECT_EQ(r.right - r.left, toPx(c.at.Width, dpi));
        EXPECT_EQ(r.bottom - r.top, toPx(c.at.Height, dpi));
    }
    // The status bar fills what the boards leave of the client area.
    const RECT status = rectIn(w.StatusBar1, w.hwnd());
    EXPECT_EQ(status.top, toPx(3785, dpi));
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.right, client.right);
    EXPECT_FALSE(shown(w.Pic44));  // out of view at left 6000

    // The rules measure in 96-dpi pixels whatever the screen; the backing is that, scaled.
    const PictureBox& tile = *w.PicG1[4];
    EXPECT_EQ(w.TileInnerWidth(board::kGame33), 69);
    EXPECT_EQ(tile.backingWidth(), MulDiv(69, dpi, 96));
    const Picture& picture = w.ImageList1().ListImage(1, dpi);
    const int ratio = picture.width() / 220;
    if (ratio * 96 == dpi) {  // drawn 1:1 from the picture of this density: exact pixels
        for (const auto& [x, y] : {std::pair{0, 0}, {20, 31}, {tile.backingWidth() - 1, 7}})
            EXPECT_EQ(tile.pixel(x, y), picturePixel(picture, 69 * ratio + x, 69 * ratio + y));
    }
    EXPECT_EQ(countColour(*w.PicG1[8], windowColour()),
              w.PicG1[8]->backingWidth() * w.PicG1[8]->backingHeight());

    // The "0" of the move display: the same strokes, each 96-dpi pixel now (dpi/96)^2 pixels.
    const int lit = countColour(*w.PicStep_, 0xFF0000);
    EXPECT_GT(lit, 0);
    const int lit96 = [] {
        Form1Window at96;
        return countColour(*at96.PicStep_, 0xFF0000);
    }();
    const int expected = lit96 * dpi * dpi / (96 * 96);
    EXPECT_NEAR(lit, expected, expected / 10);  // at 150 % a pixel is one or two wide

    // The sunken edge fills the ring around the picture at any DPI: the pixel next to the
    // picture is the edge's inner line, not the face colour showing through.
    const PictureBox& corner = *w.PicG1[0];
    RECT cell;
    GetClientRect(corner.hwnd(), &cell);
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP bits = CreateCompatibleBitmap(screen, cell.right, cell.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(copy, bits);
    SendMessageW(corner.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(copy), PRF_CLIENT);
    const int ring = (cell.right - corner.backingWidth()) / 2;
    EXPECT_EQ(GetPixel(copy, ring - 1, cell.bottom / 2), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(GetPixel(copy, cell.right / 2, ring - 1), GetSysColor(COLOR_3DDKSHADOW));
    SelectObject(copy, old);
    DeleteObject(bits);
    DeleteDC(copy);
}

INSTANTIATE_TEST_SUITE_P(Scales, AtDpi, ::testing::Values(96, 144, 192));

// A fixed single border with a minimize button and no maximize button, centred with its frame.
TEST_F(Win32Windows, MainWindowFrameAndPlace) {
    TestWindow w(*this);
    w.show();
    pump();
    const LONG_PTR style = GetWindowLongPtrW(w.hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    RECT client;
    GetClientRect(w.hwnd(), &client);
    EXPECT_EQ(client.right, toPx(3345, w.dpi()));
    EXPECT_EQ(client.bottom, toPx(4110, w.dpi()));
    RECT frame;
    GetWindowRect(w.hwnd(), &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(w.hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);
    wchar_t title[64] = {};
    GetWindowTextW(w.hwnd(), title, 64);
    EXPECT_EQ(win32_front::utf8(title), "Tessle 拼图");
}

// ---- Clicks, menus and the clock ----

struct Gesture {
    const char* what;
    bool press;
    bool releaseInside;
    int moves;
};

void PrintTo(const Gesture& g, std::ostream* os) {
    *os << g.what;
}

class Clicks : public Win32Windows, public ::testing::WithParamInterface<Gesture> {};

// A click is a press and a release inside the same surface; the tile it moves is drawn where the
// blank was, and the blank where the tile was.
TEST_P(Clicks, OnlyAPressAndReleaseInsideMoves) {
    const Gesture& g = GetParam();
    TestWindow w(*this, seeded(solvableSeed()));
    deal(w);
    const int blank = w.core().BlankCell();
    const int cell = board::neighbours(board::kGame33, blank).front();
    PictureBox& from = *w.PicG1[cell];
    const std::uint32_t shown = from.pixel(10, 10);

    click(from.hwnd(), 10, 10, g.press, g.releaseInside);
    EXPECT_EQ(w.core().LngStep, g.moves);
    if (g.moves == 1) {
        EXPECT_EQ(w.core().BlankCell(), cell);
        EXPECT_EQ(w.PicG1[blank]->pixel(10, 10), shown);
        EXPECT_EQ(from.pixel(10, 10), windowColour());
        EXPECT_GT(countColour(*w.PicStep_, 0xFF0000), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Gestures, Clicks,
                         ::testing::Values(Gesture{"PressAndRelease", true, true, 1},
                                           Gesture{"ReleaseOnly", false, true, 0},
                                           Gesture{"ReleasedOutside", true, false, 0}),
                         [](const auto& info) { return std::string(info.param.what); });

// Menus are refreshed by the handler of the menu that opens, and their commands reach the rules.
TEST_F(Win32Windows, MenusOpenAndCommand) {
    TestWindow w(*this);
    ASSERT_EQ(GetMenuItemCount(w.menuBar), 4);
    for (const auto& item : form1_layout::kMenuBar) {
        const Form1Window::MenuSlot& slot = w.menuSlots.at(item.id);
        wchar_t caption[64] = {};
        GetMenuStringW(slot.menu, slot.position, caption, 64, MF_BYPOSITION);
        EXPECT_EQ(win32_front::utf8(caption), std::string(item.caption) == "-" ? "" : item.caption);
    }

    SendMessageW(w.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(w.menuSlots.at(1).popup), 0);
    EXPECT_TRUE(state(w, 3) & MF_GRAYED);  // 结束(&E) while idle
    SendMessageW(w.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(w.menuSlots.at(8).popup), 0);
    EXPECT_TRUE(state(w, 10) & MF_CHECKED);
    EXPECT_FALSE(state(w, 11) & MF_CHECKED);
    EXPECT_TRUE(state(w, 14) & MF_GRAYED);  // 自动求解 before a deal

    choose(w, 8, 11);  // 4 X 4
    EXPECT_EQ(w.core().GameType, 44);
    EXPECT_TRUE(shown(w.Pic44));
    EXPECT_FALSE(shown(w.Pic33));
    EXPECT_EQ(rectIn(w.Pic44, w.hwnd()).left, toPx(80, w.dpi()));

    choose(w, 1, 2);  // 开局(&N)
    EXPECT_TRUE(w.core().IsPlaying());
    SendMessageW(w.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(w.menuSlots.at(1).popup), 0);
    EXPECT_FALSE(state(w, 3) & MF_GRAYED);
    SendMessageW(w.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(w.menuSlots.at(8).popup), 0);
    EXPECT_TRUE(state(w, 9) & MF_GRAYED);  // 难度(&L), a submenu, during a game
    EXPECT_TRUE(state(w, 12) & MF_GRAYED);

    answers = {msgbox::kYes};
    choose(w, 1, 3);  // 结束(&E), answered Yes
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].style, 292);
    EXPECT_FALSE(w.core().IsPlaying());

    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(17, 0), 0);  // 好东东！ on the bar itself
    EXPECT_EQ(w.opened, (std::vector<std::string>{kMakerSoftPage}));
}

// The clock counts a tick only while the main window is the foreground window.
TEST_F(Win32Windows, TicksCountOnlyInFront) {
    TestWindow w(*this);
    w.show();
    deal(w);
    SetForegroundWindow(w.hwnd());
    pump();
    ASSERT_EQ(GetForegroundWindow(), w.hwnd());
    // The real timer: a second and a bit of messages brings one tick.
    const DWORD until = GetTickCount() + 1300;
    while (GetTickCount() < until) {
        pump();
        Sleep(20);
    }
    EXPECT_GE(w.core().LngTime, 1);
    KillTimer(w.hwnd(), Form1Window::kTimer1Id);  // from here on only the ticks sent below count

    const int before = w.core().LngTime;
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(other);
    pump();
    ASSERT_EQ(GetForegroundWindow(), other);
    SendMessageW(w.hwnd(), WM_TIMER, Form1Window::kTimer1Id, 0);
    EXPECT_EQ(w.core().LngTime, before);
    DestroyWindow(other);
    SetForegroundWindow(w.hwnd());
    pump();
    SendMessageW(w.hwnd(), WM_TIMER, Form1Window::kTimer1Id, 0);
    EXPECT_EQ(w.core().LngTime, before + 1);
}

// A 3 x 3 game played to its end by clicks on the surfaces, the record kept by closing the window
// and found again by the next start.
TEST_F(Win32Windows, GameWonByClicksKeepsItsRecordAcrossAStart) {
    {
        TestWindow w(*this, seeded(solvableSeed()));
        bool destroyed = false;
        w.onDestroyed = [&] { destroyed = true; };
        int moves = 0;
        ASSERT_NO_FATAL_FAILURE(winByClicks(w, moves));
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().prompt, "真行！你创造了新的纪录");
        EXPECT_EQ(w.core().MinStep33, moves);
        PostMessageW(w.hwnd(), WM_CLOSE, 0, 0);
        pump();
        EXPECT_TRUE(destroyed);
        EXPECT_EQ(w.hwnd(), nullptr);
        ASSERT_EQ(GetRegValue("Tessle", "MinStep33"), moves);
    }
    TestWindow again(*this);
    EXPECT_EQ(again.core().MinStep33, GetRegValue("Tessle", "MinStep33"));
}

// ---- The end of the Windows session ----

// Windows ends the process after WM_ENDSESSION: the record is in the store when it returns,
// with nothing posted left to run. A cancelled end writes nothing, so a later close still can.
TEST_F(Win32Windows, SessionEndWritesTheRecordAtOnce) {
    TestWindow w(*this, seeded(solvableSeed()));
    int moves = 0;
    ASSERT_NO_FATAL_FAILURE(winByClicks(w, moves));
    deleteRecords();  // stored at the win: only the end of the session may store it again
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(w.hwnd(), WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), 0);
    SendMessageW(w.hwnd(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(w.hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), moves);
}

// The hall of fame is open, so its modal loop has the main window disabled: the end of the
// session reaches the main window all the same and writes the record.
TEST_F(Win32Windows, SessionEndUnderAModalWindowWritesTheRecord) {
    TestWindow w(*this, seeded(solvableSeed()));
    int moves = 0;
    ASSERT_NO_FATAL_FAILURE(winByClicks(w, moves));
    deleteRecords();  // stored at the win: only the end of the session may store it again
    bool opened = false;
    onDialog = [&](ModalFrame& options) {
        opened = true;
        // Windows' message comes through the modal loop, then the loop ends on the close box.
        PostMessageW(w.hwnd(), WM_ENDSESSION, TRUE, 0);
        PostMessageW(options.hwnd(), WM_CLOSE, 0, 0);
        options.runModal();
    };
    choose(w, 1, 5);  // 英雄榜(&S)
    ASSERT_TRUE(opened);
    EXPECT_EQ(GetRegValue("Tessle", "MinStep33"), moves);
    EXPECT_NE(w.hwnd(), nullptr);
}

// A write the store refuses at the end of the session is logged: a box would wait for a click
// Windows does not give it the time for.
TEST_F(Win32Windows, SessionEndLogsAFailedWriteInsteadOfABox) {
    TestWindow w(*this, seeded(solvableSeed()));
    int moves = 0;
    ASSERT_NO_FATAL_FAILURE(winByClicks(w, moves));
    const std::size_t shownBefore = boxes.size();
    deleteRecords();  // stored at the win: only the end of the session may store it again
    ASSERT_NO_FATAL_FAILURE(refuseRecordWrites());
    SendMessageW(w.hwnd(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(w.hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(boxes.size(), shownBefore);
    ASSERT_FALSE(w.logged.empty());
    for (const std::string& text : w.logged) EXPECT_EQ(text, "存储失败！");
    // Refused everywhere the store writes: the record is nowhere a later start would read it.
    EXPECT_EQ(GetRegValue(kAppKey, kMinStep33Value), 0);
}

// ---- The modal windows ----

// The picture panel: a click on the top-left thumbnail picks picture 4, closes the window and
// the board is drawn again with it.
TEST_F(Win32Windows, OptionWindowThumbnailClick) {
    TestWindow w(*this);
    bool opened = false;
    onDialog = [&](ModalFrame& dialog) {
        auto& options = static_cast<FrmOptionWindow&>(dialog);
        opened = true;
        wchar_t caption[32] = {};
        GetWindowTextW(options.hwnd(), caption, 32);
        EXPECT_EQ(win32_front::utf8(caption), "Backdrop");
        EXPECT_FALSE(shown(options.PicAbout));
        const PictureBox& topLeft = *options.ImgBG[3];
        EXPECT_EQ(rectIn(topLeft.hwnd(), options.PicOption).left, toPx(180, options.dpi()));
        // Stretched over the thumbnail: its corner is the picture's corner.
        EXPECT_NEAR(static_cast<int>(topLeft.pixel(0, 0) & 0xFF),
                    static_cast<int>(picturePixel(w.ImageList1().ListImage(4), 0, 0) & 0xFF), 24);
        click(topLeft.hwnd());
        EXPECT_TRUE(options.closed());
    };
    choose(w, 8, 12);  // 背景(&P)...
    ASSERT_TRUE(opened);
    EXPECT_EQ(w.core().PicType, 4);
    EXPECT_EQ(w.PicG1[0]->pixel(3, 3), picturePixel(w.ImageList1().ListImage(4), 3, 3));
    EXPECT_EQ(GetRegValue("Tessle", "PType"), 4);
}

// The hall of fame: the record lines fit their text, and OK closes the window.
TEST_F(Win32Windows, OptionWindowRecordLinesAndOk) {
    TestWindow w(*this);
    bool opened = false;
    onDialog = [&](ModalFrame& dialog) {
        auto& options = static_cast<FrmOptionWindow&>(dialog);
        opened = true;
        EXPECT_TRUE(shown(options.PicAbout));
        EXPECT_FALSE(shown(options.PicOption));
        for (HWND line : {options.Lbl33Champion, options.Lbl44Champion}) {
            wchar_t text[64] = {};
            GetWindowTextW(line, text, 64);
            EXPECT_NE(win32_front::utf8(text).find("共移动：99999"), std::string::npos);
            HDC dc = GetDC(line);
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(line, WM_GETFONT, 0, 0)));
            SIZE need;
            GetTextExtentPoint32W(dc, text, lstrlenW(text), &need);
            ReleaseDC(line, dc);
            const RECT r = rectIn(line, options.PicAbout);
            EXPECT_GE(r.right - r.left, need.cx);
        }
        SendMessageW(options.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(options.CmdOK2));
        EXPECT_TRUE(options.closed());
    };
    choose(w, 1, 5);  // 英雄榜(&S)
    EXPECT_TRUE(opened);
}

// The solver window: the buttons reach the rules, and the page view paints the board of each
// step, cut from the picture in play, the blank left white.
TEST_F(Win32Windows, SolverWindowStepsAndPaintsTheBoard) {
    TestWindow w(*this, seeded(solvableSeed()));
    deal(w);
    bool opened = false;
    onDialog = [&](ModalFrame& dialog) {
        auto& solver = static_cast<FrmAutoBestWindow&>(dialog);
        opened = true;
        EXPECT_FALSE(IsWindowEnabled(solver.CmdNext));
        answers = {msgbox::kYes, msgbox::kOk};
        SendMessageW(solver.hwnd(), WM_COMMAND, MAKEWPARAM(FrmAutoBestWindow::kCmdDoId, BN_CLICKED),
                     0);
        EXPECT_FALSE(IsWindowEnabled(solver.CmdDo));
        EXPECT_TRUE(IsWindowEnabled(solver.CmdNext));
        SendMessageW(solver.hwnd(), WM_COMMAND,
                     MAKEWPARAM(FrmAutoBestWindow::kCmdNextId, BN_CLICKED), 0);
        wchar_t text[64] = {};
        GetWindowTextW(solver.txtResult, text, 64);
        EXPECT_EQ(win32_front::utf8(text), solver.core().txtResult);
        EXPECT_NE(solver.core().txtResult.find("第1步"), std::string::npos);

        const maker_site::Page page = maker_site::parse(solver.WebBrowser1->LocationURL());
        ASSERT_EQ(page.kind, maker_site::Page::kBoard);
        EXPECT_EQ(page.step, 1);
        const Picture& picture = w.ImageList1().ListImage(1);
        for (int cell = 0; cell < 9; ++cell) {
            SCOPED_TRACE(cell);
            const RECT r = solver.WebBrowser1->cellRect(cell);
            const char c = page.position[static_cast<std::size_t>(cell)];
            const std::uint32_t got = solver.WebBrowser1->pixel(r.left + 5, r.top + 6);
            if (c == '0') {
                EXPECT_EQ(got, 0xFFFFFFu);
            } else {
                const int t = c - '1';
                EXPECT_EQ(got, picturePixel(picture, (t % 3) * 69 + 5, (t / 3) * 69 + 6));
            }
        }
        PostMessageW(solver.hwnd(), WM_CLOSE, 0, 0);
        pump();
        EXPECT_TRUE(solver.closed());
    };
    choose(w, 13, 14);  // 自动求解
    EXPECT_TRUE(opened);
    EXPECT_EQ(boxes.size(), 2u);  // the question and "自动求解完成！"
}

// ---- The keyboard in the modal windows ----

struct ModalCase {
    const char* name;
    int menu, entry;
    const char* focus;  // the caption of the control that has the focus first; "" the window
};

class Keyboard : public Win32Windows, public ::testing::WithParamInterface<ModalCase> {};

// As in a dialog: the focus starts on the first button, and Escape closes the window as its
// close box does, choosing nothing.
TEST_P(Keyboard, FocusStartsOnTheFirstButtonAndEscapeCloses) {
    TestWindow w(*this, seeded(solvableSeed()));
    deal(w);
    if (GetParam().menu != 13) choose(w, 1, 3);  // given up: the options windows are enabled
    const int picture = w.core().PicType;
    std::string focused = "?";
    bool closed = false;
    onDialog = [&](ModalFrame& dialog) {
        soon([&] {
            HWND f = GetFocus();
            focused = f == dialog.hwnd() ? "" : win32_front::textOf(f);
            press(dialog.hwnd(), VK_ESCAPE);
        });
        dialog.runModal();
        closed = dialog.closed();
    };
    choose(w, GetParam().menu, GetParam().entry);
    EXPECT_TRUE(closed);
    EXPECT_EQ(focused, GetParam().focus);
    EXPECT_EQ(w.core().PicType, picture);
    EXPECT_EQ(GetRegValue("Tessle", "PType"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWindow, Keyboard,
    ::testing::Values(ModalCase{"HallOfFame", 1, 5, "OK"}, ModalCase{"Backdrop", 8, 12, ""},
                      ModalCase{"About", 13, 16, "OK"}, ModalCase{"Solver", 13, 14, "自动求解"}),
    [](const ::testing::TestParamInfo<ModalCase>& info) { return std::string(info.param.name); });

// Enter on 自动求解 asks the real question; Enter there is No (style 292), the focus comes back
// to the button and Enter works again; once the search has run, the button is disabled and the
// focus moves on to 下一步.
TEST_F(Win32Windows, SolverKeepsTheFocusOnItsButtonsThroughBoxesAndDisabling) {
    TestWindow w(*this, seeded(solvableSeed()));
    w.show();
    deal(w);
    w.realBoxes = true;
    std::string afterBox, afterSearch;
    onDialog = [&](ModalFrame& dialog) {
        auto& solver = static_cast<FrmAutoBestWindow&>(dialog);
        soon([&] {
            soon([&] {
                press(GetFocus(), VK_RETURN);  // in the box: its default button
                soon([&] {
                    afterBox = win32_front::textOf(GetFocus());
                    w.realBoxes = false;
                    answers = {msgbox::kYes, msgbox::kOk};
                    press(GetFocus(), VK_RETURN);
                    soon([&] {
                        afterSearch = win32_front::textOf(GetFocus());
                        PostMessageW(solver.hwnd(), WM_CLOSE, 0, 0);
                    });
                });
            });
            press(GetFocus(), VK_RETURN);
        });
        solver.runModal();
    };
    choose(w, 13, 14);  // 自动求解
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].style, 292);
    EXPECT_EQ(afterBox, "自动求解");
    EXPECT_FALSE(w.core().solverWindow()->CmdDo.Enabled);
    EXPECT_EQ(afterSearch, "下一步");
}

// The real MessageBoxW keeps the classic default buttons: Enter is No for style 292, Yes for 36.
TEST_F(Win32Windows, RealMessageBoxEnterAnswersTheDefaultButton) {
    for (const auto& [style, answer] : {std::pair{292, msgbox::kNo}, std::pair{36, msgbox::kYes}}) {
        soon([] { press(GetFocus(), VK_RETURN); });
        EXPECT_EQ(win32_front::showMessageBox("真不想玩了？", style, "放弃？"), answer) << style;
    }
}

// The solver window, twice as wide as the main window, stays inside the work area when the
// main window sits at the screen's right edge.
TEST_F(Win32Windows, ModalWindowStaysInsideTheWorkArea) {
    TestWindow w(*this, seeded(solvableSeed()));
    w.show();
    RECT work, main;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(w.hwnd(), &main);
    SetWindowPos(w.hwnd(), nullptr, work.right - (main.right - main.left), main.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    deal(w);
    RECT at{};
    onDialog = [&](ModalFrame& dialog) {
        soon([&] {
            GetWindowRect(dialog.hwnd(), &at);
            PostMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);
        });
        dialog.runModal();
    };
    choose(w, 13, 14);  // 自动求解
    EXPECT_GE(at.left, work.left);
    EXPECT_LE(at.right, work.right);
    EXPECT_GT(at.right - at.left, main.right - main.left);
}

}  // namespace

// ---- The keys ----

// Handles messages until `done`, or gives up after `seconds`: a hint's answer comes from its
// worker thread as a posted message.
bool pumpUntil(const std::function<bool()>& done, int seconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (!done()) {
        if (GetTickCount() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        pump();
    }
    return true;
}

constexpr std::uint32_t kMarkYellow = 0xFFE600;

// H on the focused main window finds the hint on a worker thread, and the mark is drawn on its
// tile alone; an arrow plays as the click on that tile does and takes the mark away.
TEST_F(Win32Windows, TheKeysReachTheRulesAndTheHintIsDrawnOnItsTile) {
    TestWindow w(*this, seeded(solvableSeed()));
    w.show();
    deal(w);
    ASSERT_EQ(GetFocus(), w.hwnd());
    press(GetFocus(), 'H');
    ASSERT_TRUE(pumpUntil([&] { return w.core().HintCell() >= 0; }, 30));
    const int marked = w.core().HintCell();
    for (int cell = 0; cell < 9; ++cell)
        EXPECT_EQ(countColour(*w.PicG1[cell], kMarkYellow) > 0, cell == marked) << cell;

    const int blank = w.core().BlankCell();
    const WPARAM arrow = marked == blank - 1   ? VK_RIGHT
                         : marked == blank + 1 ? VK_LEFT
                         : marked == blank - 3 ? VK_DOWN
                                               : VK_UP;
    press(GetFocus(), arrow);
    pump();
    EXPECT_EQ(w.core().LngStep, 1);
    EXPECT_EQ(w.core().BlankCell(), marked);
    for (int cell = 0; cell < 9; ++cell) EXPECT_EQ(countColour(*w.PicG1[cell], kMarkYellow), 0);
}

// While a modal window is open the keys go to it: the board under it stays as it was.
TEST_F(Win32Windows, NoKeyReachesTheBoardWhileAModalWindowIsOpen) {
    TestWindow w(*this, seeded(solvableSeed()));
    w.show();
    deal(w);
    const board::Map dealt = w.core().TileMap();
    onDialog = [&](ModalFrame& dialog) {
        soon([&] {
            for (const WPARAM key :
                 {WPARAM{VK_LEFT}, WPARAM{VK_RIGHT}, WPARAM{VK_UP}, WPARAM{VK_DOWN}, WPARAM{'H'}})
                press(GetFocus(), key);
            soon([&] { PostMessageW(dialog.hwnd(), WM_CLOSE, 0, 0); });
        });
        dialog.runModal();
    };
    choose(w, 1, 5);  // 英雄榜
    pump();
    EXPECT_EQ(w.core().TileMap(), dealt);
    EXPECT_EQ(w.core().LngStep, 0);
    EXPECT_EQ(w.core().HintCell(), -1);
}
