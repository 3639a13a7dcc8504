#include "platform/shell.h"

#include <QDesktopServices>
#include <QUrl>
#include <utility>

namespace {
shell::Handler& currentHandler() {
    static shell::Handler handler;
    return handler;
}
}  // namespace

shell::Handler shell::setHandler(Handler handler) {
    return std::exchange(currentHandler(), std::move(handler));
}

void OpenAddress(const QString& address) {
    if (const auto& handler = currentHandler()) {
        handler(address);
        return;
    }
    QDesktopServices::openUrl(QUrl(address));
}
