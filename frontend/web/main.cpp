// Tessle in the browser: the core in WebAssembly, its windows drawn by ui.js in the page.
#include "frontend/web/form1_page.h"

#include <emscripten.h>

namespace {
Form1Page* game = nullptr;
}  // namespace

// The page is going away (ui.js, on pagehide): the game closes as at the end of a desktop
// session. Called while the game's loop waits for an event, never from inside it.
extern "C" EMSCRIPTEN_KEEPALIVE void tessle_end_session() {
    if (game) game->endSession();
}

int main() {
    static Form1Page page;
    game = &page;
    page.run();
    return 0;
}
