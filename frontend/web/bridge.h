#pragma once

#include "game/form1.h"

#include <string>
#include <vector>

// The C++ side of the page (ui.js): what the front-end asks the page to make, show and draw,
// and the player's events, one at a time. Elements are named by ids the front-end hands out.
// Geometry is in CSS pixels, which are 96-dpi pixels: 15 twips each.
namespace web {

// What the player did, as ui.js queues it.
enum EventKind : int {
    kClick = 1,     // a control was clicked (target: its id)
    kMenuOpen = 2,  // a menu is opening (target: its menu id); it shows once its command ran
    kCommand = 3,   // a menu entry was chosen (target: its menu id)
    kTick = 4,      // the clock's second
    kClose = 5,     // a modal window's close box or Escape (target: its id)
    kAnswer = 6,    // a message box was answered (target: its id, value: the button's code)
    kKey = 7,       // a key for the main window (value: its classic key code, keys::)
    kHint = 8,      // a hint search ended (target: its id, value: the tile to move first, 0 for
                    // none, -1 when there is no solution)
};

struct Event {
    int kind = 0;
    int target = 0;
    int value = 0;
};

// Waits for the player's next event (the page runs meanwhile: Asyncify). Every loop of the
// game, the main one and those of its modal windows and boxes, takes its events from here.
Event nextEvent();

// A fresh element id.
int newId();

// Makes an element of `kind` (panel, surface, button, label, image, rule, textbox, page) inside
// element `parent` (0: the main window's client area) at a place given in twips; `name` is the
// control's name in the rules, which the page shows as data-name (for tests and tools). A
// negative size leaves the element its natural size.
void create(int id, int parent, const char* kind, const TwipsRect& at, const std::string& name);

void setText(int id, const std::string& text);
void setVisible(int id, bool visible);
// Places an element at a panel position in twips; kOutOfView hides it.
void place(int id, const Frame& at);
void setEnabled(int id, bool enabled);
void setImage(int id, const char* icon);
// An image control shows built-in picture `picture`, stretched to its size.
void setPicture(int id, int picture);
void setTip(int id, const std::string& text);
void setClass(int id, const char* name, bool on);
// A CSS font-family list and a size in points.
void setFont(int id, const std::string& families, int points);
// The caption of the window that holds element `id` (0: the page's title).
void setTitle(int id, const std::string& text);

// Drawing on a surface, in CSS pixels inside its border.
void clear(int id, OleColor back);
void box(int id, int x1, int y1, int x2, int y2, OleColor fore);
void line(int id, int x1, int y1, int x2, int y2, OleColor fore);
void picture(int id, const TilePicture& part);

// The main window: its caption and its client area's size in twips.
void openMain(const std::string& caption, int clientWidth, int clientHeight);
// The main window is gone; `note` says so in its place.
void closeMain(const std::string& note);

void menuItem(int id, int parent, const char* caption, bool hasEntries, bool hasCommand,
              bool tickable);
void setMenuState(int id, bool enabled, bool checked);
void showMenu(int id);

// An in-page modal window whose client area is element `id`, centred over the main window,
// which is inert until it closes.
void openDialog(int id, const char* name, const std::string& caption, int clientWidth,
                int clientHeight);
// Its controls are made: the first button takes the focus.
void dialogShown(int id);
void closeDialog(int id);

// A message box with the classic style's icon, buttons and default button; answered by a
// kAnswer event for `id`.
void showBox(int id, const std::string& title, const std::string& text, int style);
void closeBox(int id);

// The page view: `html` shown in element `id`, its board image a canvas `side` pixels a side.
void showPage(int id, const std::string& html, int side);
void pageFill(int id, int x, int y, int size, std::uint32_t rgb);
void pagePicture(int id, int picture, int sx, int sy, int size, int x, int y);

void timer(bool on);
bool isForeground();
void openAddress(const std::string& address);
void logError(const std::string& text);

// The hint's searches run in a web worker, made when first asked for; each ends with a kHint
// event. prepareHints has the worker build the 4 x 4 tables ahead of the first search there.
void searchHint(int id, const std::vector<int>& cells);
void prepareHints();

}  // namespace web
