#pragma once

#include <QString>

#include <functional>

// Opens an address (web page, mail link) with the desktop's default handler. The result is not
// reported: the game never depends on it.
void OpenAddress(const QString& address);

namespace shell {
using Handler = std::function<void(const QString& address)>;
// Replaces the desktop call (tests); an empty handler restores it. Returns the previous one.
Handler setHandler(Handler handler);
}  // namespace shell
