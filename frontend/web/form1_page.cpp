#include "frontend/web/form1_page.h"

#include "frontend/web/frm_auto_best_page.h"
#include "frontend/web/frm_option_page.h"
#include "game/app_info.h"
#include "game/twips.h"

namespace {

using namespace form1_layout;

// An empty tile surface shows the picture box's own background.
constexpr OleColor kSurfaceBack = 0xFFFFFF;

// The status bar's fonts: the classic Song face first, then CJK faces a browser may have.
constexpr const char* kStatusFallbacks =
    "\"Noto Serif CJK SC\", \"Source Han Serif SC\", \"AR PL UMing CN\", \"Songti SC\", "
    "\"Noto Sans CJK SC\", \"WenQuanYi Micro Hei\", \"Microsoft YaHei\", serif";

}  // namespace

CanvasSurface::CanvasSurface(int id, const TwipsRect& at)
    : id_(id),
      width_(twips::toPx(at.Width) - 2 * kBorder),
      height_(twips::toPx(at.Height) - 2 * kBorder) {}

Form1Page::Form1Page() : core_(*this) {
    buildWindow();
    buildMenus();
    core_.Form_Load();
    sync();
}

Form1Page::~Form1Page() = default;

void Form1Page::buildWindow() {
    web::openMain(kAppTitle, kClientWidth, kClientHeight);
    const int strip = web::newId();
    web::create(strip, 0, "panel", kPicture1, "Picture1");
    web::setClass(strip, "strip", true);

    PicStep_ = std::make_unique<CanvasSurface>(web::newId(), kPicStep);
    web::create(PicStep_->id(), strip, "surface", kPicStep, "PicStep");
    PicStep_->setBackColor(0x000000);

    const int Command1 = web::newId();
    web::create(Command1, strip, "button", kCommand1, "Command1");
    web::setImage(Command1, "smiley");
    web::setTip(Command1, kNewGameTip);
    web::setClass(Command1, "nofocus", true);
    onClick(Command1, 0, [this] { core_.Command1_Click(); });

    PicTime_ = std::make_unique<CanvasSurface>(web::newId(), kPicTime);
    web::create(PicTime_->id(), strip, "surface", kPicTime, "PicTime");
    PicTime_->setBackColor(0x000000);

    // Both boards, each a frame of tile surfaces; the rules place the frames.
    struct BoardControls {
        int gameType;
        int& frame;
        int height;
        const char* name;
        const char* tiles;
        std::vector<int>& ids;
        void (Form1::*click)(int);
    };
    for (const BoardControls& b : {BoardControls{board::kGame33, Pic33_, kPic33Height, "Pic33",
                                                 "PicG1", PicG1_, &Form1::PicG1_Click},
                                   BoardControls{board::kGame44, Pic44_, kPic44Height, "Pic44",
                                                 "PicG2", PicG2_, &Form1::PicG2_Click}}) {
        b.frame = web::newId();
        web::create(b.frame, 0, "panel", {0, 0, kFrameWidth, b.height}, b.name);
        web::setClass(b.frame, "board", true);
        for (int i = 0; i < board::side(b.gameType) * board::side(b.gameType); ++i) {
            const int id = web::newId();
            web::create(id, b.frame, "surface", tileRect(b.gameType, i),
                        std::string(b.tiles) + "(" + std::to_string(i) + ")");
            onClick(id, 0, [this, i, click = b.click] { (core_.*click)(i); });
            b.ids.push_back(id);
        }
    }

    // The status bar fills what the strip and the boards leave of the client height.
    const int boardBottom = kPicture1.Height + 50 + kPic33Height;
    const int StatusBar1 = web::newId();
    web::create(StatusBar1, 0, "label", {0, boardBottom, kClientWidth, kClientHeight - boardBottom},
                "StatusBar1");
    web::setClass(StatusBar1, "statusbar", true);
    web::setFont(StatusBar1,
                 std::string(kStatusFontLatin) + ", \"" + kStatusFont + "\", " + kStatusFallbacks,
                 kStatusPointSize);
    web::setText(StatusBar1, kStatusText);
}

void Form1Page::buildMenus() {
    for (const MenuItem& item : kMenuBar) {
        web::menuItem(item.id, item.parent, item.caption, hasEntries(item.id),
                      item.command != nullptr, item.tickable);
    }
}

// ---- Events ----

void Form1Page::onClick(int id, int window, std::function<void()> handler) {
    routes_[id] = Route{window, [this, handler = std::move(handler)](int) { forward(handler); }};
}

void Form1Page::runWindow(int window, const bool& done, std::function<void(int value)> closed) {
    windows_.push_back(window);
    routes_[window] = Route{window, std::move(closed)};
    while (!done && !ended_) dispatch(web::nextEvent());
    windows_.pop_back();
    for (auto route = routes_.begin(); route != routes_.end();) {
        route = route->second.window == window ? routes_.erase(route) : std::next(route);
    }
}

void Form1Page::run() {
    while (!closing_ && !ended_) dispatch(web::nextEvent());
    if (ended_) return;
    core_.Form_Unload();
    EnableTimer1(false);
    web::closeMain(std::string(kAppTitle) + " 已退出。");
}

void Form1Page::dispatch(const web::Event& event) {
    switch (event.kind) {
        case web::kTick:
            // A second that comes after the clock stopped is not the game's.
            if (core_.Timer1Enabled) forward([this] { core_.Timer1_Timer(); });
            return;
        case web::kKey:
            // Only the main window's: ui.js sends none while a menu is open.
            if (topWindow() == 0) forward([&] { core_.Form_KeyDown(event.value); });
            return;
        case web::kHint: {
            // Taken under any window: it only marks a tile, or is dropped by the rules.
            const auto search = searches_.find(event.target);
            if (search == searches_.end()) return;
            const auto found = std::move(search->second);
            searches_.erase(search);
            optimal::Answer answer;
            answer.outcome =
                event.value < 0 ? optimal::Outcome::kUnsolvable : optimal::Outcome::kSolved;
            if (event.value > 0) answer.tiles.push_back(event.value);  // the first move is all
            forward([&] { found(answer); });
            return;
        }
        case web::kMenuOpen:
        case web::kCommand:
            // The menu bar is the main window's: it takes nothing while a modal window is open.
            if (topWindow() == 0) runMenu(event.target, event.kind == web::kMenuOpen);
            return;
        default: {
            const auto route = routes_.find(event.target);
            if (route == routes_.end() || route->second.window != topWindow()) return;
            const auto run = route->second.run;  // the handler may close its own window
            run(event.value);
            return;
        }
    }
}

void Form1Page::runMenu(int menuId, bool opening) {
    for (const MenuItem& item : kMenuBar) {
        if (item.id != menuId) continue;
        if (!(core_.*item.entry).Enabled) return;
        if (item.command) forward([&] { (core_.*item.command)(); });
        if (opening && !closing_) web::showMenu(menuId);
        return;
    }
}

void Form1Page::runDialog(DialogPage& dialog) {
    web::dialogShown(dialog.id());
    runWindow(dialog.id(), dialog.done, [&dialog](int) { dialog.done = true; });
}

void Form1Page::endSession() {
    ended_ = true;
    core_.EndSession();
}

// ---- Drawing what the rules say ----

void Form1Page::sync() {
    web::setTitle(0, core_.Caption);
    web::place(Pic33_, core_.Pic33);
    web::place(Pic44_, core_.Pic44);
    for (const int gameType : {board::kGame33, board::kGame44}) {
        const std::vector<int>& ids = gameType == board::kGame44 ? PicG2_ : PicG1_;
        for (const int cell : shownTiles_.changed(core_, gameType)) {
            const TilePicture& want = core_.tile(gameType, cell);
            if (want.empty()) {
                web::clear(ids[cell], kSurfaceBack);
            } else {
                web::picture(ids[cell], want);
            }
            if (core_.hinted(gameType, cell)) {
                CanvasSurface surface(ids[cell], tileRect(gameType, cell));
                drawHintMark(surface);
            }
        }
    }
    for (const MenuItem& item : kMenuBar) {
        const MenuEntry& state = core_.*item.entry;
        web::setMenuState(item.id, state.Enabled, state.Checked);
    }
}

// ---- Frontend ----

int Form1Page::MsgBox(const std::string& prompt, int style, const std::string& title) {
    const int id = web::newId();
    int answer = 0;
    bool answered = false;
    web::showBox(id, title, prompt, style);
    runWindow(id, answered, [&](int value) {
        answer = value;
        answered = true;
    });
    web::closeBox(id);
    if (answered) return answer;
    return (style & 0x0F) == msgbox::kYesNo ? msgbox::kNo : msgbox::kOk;
}

void Form1Page::OpenAddress(const std::string& address) {
    web::openAddress(address);
}

void Form1Page::LogError(const std::string& text) {
    web::logError(text);
}

template class ToolkitFrontend<Form1Page>;

int Form1Page::TileInnerWidth(int gameType) {
    return twips::toPx(tileRect(gameType, 0).Width) - 2 * CanvasSurface::kBorder;
}

int Form1Page::TileInnerHeight(int gameType) {
    return twips::toPx(tileRect(gameType, 0).Height) - 2 * CanvasSurface::kBorder;
}

void Form1Page::EnableTimer1(bool enabled) {
    web::timer(enabled);
}

bool Form1Page::IsForeground() {
    return web::isForeground();
}

void Form1Page::Unload() {
    closing_ = true;
}

// The worker cannot see `cancel`: a search overtaken by a move runs to its end there, and the
// rules drop its answer.
void Form1Page::SearchHint(const optimal::Position& position, std::shared_ptr<std::atomic<bool>>,
                           std::function<void(const optimal::Answer&)> found) {
    const int id = ++lastSearch_;
    searches_[id] = std::move(found);
    web::searchHint(id, position);
}

void Form1Page::PrepareHints() {
    web::prepareHints();
}
