#include "platform/modal.h"

#include <QDialog>

#include <utility>

namespace {
modal::Handler& currentHandler() {
    static modal::Handler handler;
    return handler;
}
}  // namespace

modal::Handler modal::setHandler(Handler handler) {
    return std::exchange(currentHandler(), std::move(handler));
}

void ShowModal(QDialog& window) {
    if (const auto& handler = currentHandler()) {
        handler(window);
        return;
    }
    window.exec();
}
