#include "support/web_storage.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace {

// JavaScript, which clang-format would break.
// clang-format off
EM_JS(void, web_storage_clear, (), {
    localStorage.clear();
    globalThis.tessleStorageFull = false;
});

EM_JS(void, web_storage_set_full, (int full), { globalThis.tessleStorageFull = full != 0; });

EM_JS(void, web_storage_set_item, (const char* key, const char* text), {
    localStorage.setItem(UTF8ToString(key), UTF8ToString(text));
});

// The key's text, or null when it is missing. Freed by the caller.
EM_JS(char*, web_storage_item, (const char* key), {
    const text = localStorage.getItem(UTF8ToString(key));
    if (text === null) return 0;
    const size = lengthBytesUTF8(text) + 1;
    const out = _malloc(size);
    stringToUTF8(text, out, size);
    return out;
});
// clang-format on

}  // namespace

namespace web_storage {

void clear() {
    web_storage_clear();
}

void setFull(bool full) {
    web_storage_set_full(full ? 1 : 0);
}

void setItem(const std::string& key, const std::string& text) {
    web_storage_set_item(key.c_str(), text.c_str());
}

std::optional<std::string> item(const std::string& key) {
    const std::unique_ptr<char, decltype(&std::free)> text(web_storage_item(key.c_str()),
                                                           &std::free);
    if (!text) return std::nullopt;
    return std::string(text.get());
}

}  // namespace web_storage
