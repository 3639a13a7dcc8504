#include "frontend/web/bridge.h"

#include "game/twips.h"

#include <emscripten.h>

namespace {

// The page's calls, one per function of ui.js; strings cross as UTF-8.
// clang-format off
EM_ASYNC_JS(void, ui_next_event, (int* out), {
    const e = await TessleUI.nextEvent();
    HEAP32[out >> 2] = e.kind;
    HEAP32[(out >> 2) + 1] = e.target;
    HEAP32[(out >> 2) + 2] = e.value;
});
EM_JS(void, ui_create, (int id, int parent, const char* kind, const char* name, int l, int t, int w, int h), {
    TessleUI.create(id, parent, UTF8ToString(kind), UTF8ToString(name), l, t, w, h);
});
EM_JS(void, ui_set_text, (int id, const char* text), { TessleUI.setText(id, UTF8ToString(text)); });
EM_JS(void, ui_set_visible, (int id, int on), { TessleUI.setVisible(id, !!on); });
EM_JS(void, ui_move, (int id, int l, int t), { TessleUI.moveTo(id, l, t); });
EM_JS(void, ui_set_enabled, (int id, int on), { TessleUI.setEnabled(id, !!on); });
EM_JS(void, ui_set_image, (int id, const char* icon), { TessleUI.setImage(id, UTF8ToString(icon)); });
EM_JS(void, ui_set_picture, (int id, int n), { TessleUI.setImage(id, n); });
EM_JS(void, ui_set_tip, (int id, const char* text), { TessleUI.setTip(id, UTF8ToString(text)); });
EM_JS(void, ui_set_class, (int id, const char* name, int on), {
    TessleUI.setClass(id, UTF8ToString(name), !!on);
});
EM_JS(void, ui_set_font, (int id, const char* families, int points), {
    TessleUI.setFont(id, UTF8ToString(families), points);
});
EM_JS(void, ui_set_title, (int id, const char* text), { TessleUI.setTitle(id, UTF8ToString(text)); });
EM_JS(void, ui_clear, (int id, unsigned back), { TessleUI.clear(id, back); });
EM_JS(void, ui_box, (int id, int x1, int y1, int x2, int y2, unsigned fore), {
    TessleUI.box(id, x1, y1, x2, y2, fore);
});
EM_JS(void, ui_line, (int id, int x1, int y1, int x2, int y2, unsigned fore), {
    TessleUI.line(id, x1, y1, x2, y2, fore);
});
EM_JS(void, ui_picture, (int id, int n, int sx, int sy, int w, int h), {
    TessleUI.picture(id, n, sx, sy, w, h);
});
EM_JS(void, ui_open_main, (const char* caption, int w, int h), {
    TessleUI.openMain(UTF8ToString(caption), w, h);
});
EM_JS(void, ui_close_main, (const char* note), { TessleUI.closeMain(UTF8ToString(note)); });
EM_JS(void, ui_menu_item, (int id, int parent, const char* caption, int entries, int command, int tick), {
    TessleUI.menuItem(id, parent, UTF8ToString(caption), !!entries, !!command, !!tick);
});
EM_JS(void, ui_menu_state, (int id, int enabled, int checked), {
    TessleUI.setMenuState(id, !!enabled, !!checked);
});
EM_JS(void, ui_show_menu, (int id), { TessleUI.showMenu(id); });
EM_JS(void, ui_open_dialog, (int id, const char* name, const char* caption, int w, int h), {
    TessleUI.openDialog(id, UTF8ToString(name), UTF8ToString(caption), w, h);
});
EM_JS(void, ui_dialog_shown, (int id), { TessleUI.dialogShown(id); });
EM_JS(void, ui_close_dialog, (int id), { TessleUI.closeDialog(id); });
EM_JS(void, ui_show_box, (int id, const char* title, const char* text, int icon, int yesNo, int defaultNo), {
    TessleUI.showBox(id, UTF8ToString(title), UTF8ToString(text), icon, !!yesNo, !!defaultNo);
});
EM_JS(void, ui_close_box, (int id), { TessleUI.closeBox(id); });
EM_JS(void, ui_show_page, (int id, const char* html, int side), {
    TessleUI.showPage(id, UTF8ToString(html), side);
});
EM_JS(void, ui_page_fill, (int id, int x, int y, int size, unsigned rgb), {
    TessleUI.pageFill(id, x, y, size, rgb);
});
EM_JS(void, ui_page_picture, (int id, int n, int sx, int sy, int size, int x, int y), {
    TessleUI.pagePicture(id, n, sx, sy, size, x, y);
});
EM_JS(void, ui_timer, (int on), { TessleUI.timer(!!on); });
EM_JS(int, ui_is_foreground, (), { return TessleUI.isForeground() ? 1 : 0; });
EM_JS(void, ui_open_address, (const char* address), { TessleUI.openAddress(UTF8ToString(address)); });
EM_JS(void, ui_log_error, (const char* text), { console.error('tessle: ' + UTF8ToString(text)); });
EM_JS(void, ui_search_hint, (int id, const int* cells, int count), {
    TessleUI.searchHint(id, Array.from(HEAP32.subarray(cells >> 2, (cells >> 2) + count)));
});
EM_JS(void, ui_prepare_hints, (), { TessleUI.prepareHints(); });
// clang-format on

}  // namespace

namespace web {

Event nextEvent() {
    int raw[3] = {0, 0, 0};
    ui_next_event(raw);
    return Event{raw[0], raw[1], raw[2]};
}

int newId() {
    static int next = 0;
    return ++next;
}

void create(int id, int parent, const char* kind, const TwipsRect& at, const std::string& name) {
    ui_create(id, parent, kind, name.c_str(), twips::toPx(at.Left), twips::toPx(at.Top),
              twips::toPx(at.Width), twips::toPx(at.Height));
}

void setText(int id, const std::string& text) {
    ui_set_text(id, text.c_str());
}

void setVisible(int id, bool visible) {
    ui_set_visible(id, visible);
}

void place(int id, const Frame& at) {
    ui_move(id, twips::toPx(at.Left), twips::toPx(at.Top));
    // Beyond its window's edge anyway; hidden as well so it takes no click and no focus.
    ui_set_visible(id, at.Left != kOutOfView);
}

void setEnabled(int id, bool enabled) {
    ui_set_enabled(id, enabled);
}

void setImage(int id, const char* icon) {
    ui_set_image(id, icon);
}

void setPicture(int id, int picture) {
    ui_set_picture(id, picture);
}

void setTip(int id, const std::string& text) {
    ui_set_tip(id, text.c_str());
}

void setClass(int id, const char* name, bool on) {
    ui_set_class(id, name, on);
}

void setFont(int id, const std::string& families, int points) {
    ui_set_font(id, families.c_str(), points);
}

void setTitle(int id, const std::string& text) {
    ui_set_title(id, text.c_str());
}

void clear(int id, OleColor back) {
    ui_clear(id, back);
}

void box(int id, int x1, int y1, int x2, int y2, OleColor fore) {
    ui_box(id, x1, y1, x2, y2, fore);
}

void line(int id, int x1, int y1, int x2, int y2, OleColor fore) {
    ui_line(id, x1, y1, x2, y2, fore);
}

void picture(int id, const TilePicture& part) {
    ui_picture(id, part.picture, part.sx, part.sy, part.w, part.h);
}

void openMain(const std::string& caption, int clientWidth, int clientHeight) {
    ui_open_main(caption.c_str(), twips::toPx(clientWidth), twips::toPx(clientHeight));
}

void closeMain(const std::string& note) {
    ui_close_main(note.c_str());
}

void menuItem(int id, int parent, const char* caption, bool hasEntries, bool hasCommand,
              bool tickable) {
    ui_menu_item(id, parent, caption, hasEntries, hasCommand, tickable);
}

void setMenuState(int id, bool enabled, bool checked) {
    ui_menu_state(id, enabled, checked);
}

void showMenu(int id) {
    ui_show_menu(id);
}

void openDialog(int id, const char* name, const std::string& caption, int clientWidth,
                int clientHeight) {
    ui_open_dialog(id, name, caption.c_str(), twips::toPx(clientWidth), twips::toPx(clientHeight));
}

void dialogShown(int id) {
    ui_dialog_shown(id);
}

void closeDialog(int id) {
    ui_close_dialog(id);
}

void showBox(int id, const std::string& title, const std::string& text, int style) {
    const bool yesNo = (style & 0x0F) == msgbox::kYesNo;
    ui_show_box(id, title.c_str(), text.c_str(), style & 0x70, yesNo,
                (style & msgbox::kDefaultButton2) != 0);
}

void closeBox(int id) {
    ui_close_box(id);
}

void showPage(int id, const std::string& html, int side) {
    ui_show_page(id, html.c_str(), side);
}

void pageFill(int id, int x, int y, int size, std::uint32_t rgb) {
    ui_page_fill(id, x, y, size, rgb);
}

void pagePicture(int id, int picture, int sx, int sy, int size, int x, int y) {
    ui_page_picture(id, picture, sx, sy, size, x, y);
}

void timer(bool on) {
    ui_timer(on);
}

bool isForeground() {
    return ui_is_foreground() != 0;
}

void openAddress(const std::string& address) {
    ui_open_address(address.c_str());
}

void logError(const std::string& text) {
    ui_log_error(text.c_str());
}

}  // namespace web

namespace web {

void searchHint(int id, const std::vector<int>& cells) {
    ui_search_hint(id, cells.data(), static_cast<int>(cells.size()));
}

void prepareHints() {
    ui_prepare_hints();
}

}  // namespace web
