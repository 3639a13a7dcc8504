#pragma once

// The localStorage of the Emscripten build's test programs (node_local_storage.js under Node),
// reached from C++: emptied between tests, keys set and read as the browser holds them, and
// writes made to fail as in a full store.

#include <optional>
#include <string>

namespace web_storage {

// Empty, and taking writes again.
void clear();
// While full, every setItem throws the browser's quota error.
void setFull(bool full);
void setItem(const std::string& key, const std::string& text);
std::optional<std::string> item(const std::string& key);

}  // namespace web_storage
