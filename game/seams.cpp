#include "game/seams.h"

#include <utility>

namespace {

template <typename Handler>
Handler& installed() {
    static Handler handler;
    return handler;
}

}  // namespace

msgbox::Handler msgbox::setHandler(Handler handler) {
    return std::exchange(installed<Handler>(), std::move(handler));
}

int MsgBox(const std::string& prompt, int style, const std::string& title) {
    if (const auto& handler = installed<msgbox::Handler>()) return handler(prompt, style, title);
    return (style & 0x0F) == msgbox::kYesNo ? msgbox::kNo : msgbox::kOk;
}

modal::Handler modal::setHandler(Handler handler) {
    return std::exchange(installed<Handler>(), std::move(handler));
}

void ShowModal(ModalWindow& window) {
    if (const auto& handler = installed<modal::Handler>()) handler(window);
}

shell::Handler shell::setHandler(Handler handler) {
    return std::exchange(installed<Handler>(), std::move(handler));
}

void OpenAddress(const std::string& address) {
    if (const auto& handler = installed<shell::Handler>()) handler(address);
}
