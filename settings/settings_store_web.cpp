// The browser's store: localStorage of the page's origin, which every tab and window of the game
// on this browser profile shares, as a machine's registry is shared by its programs. One key per
// value, "KORVANEL/<AppName>/<name in lower case>", holding the decimal text: names match
// without regard to case, as in the other stores.
#include "settings/settings_store.h"

#include <emscripten.h>

#include <cctype>
#include <cstdlib>
#include <memory>

namespace {

// clang-format off
// The stored text of a key, or null when it is missing (or storage cannot be read at all, as
// with cookies blocked: then nothing is stored and every value reads as 0). Freed by the caller.
EM_JS(char*, web_store_get, (const char* key), {
    let text = null;
    try {
        text = localStorage.getItem(UTF8ToString(key));
    } catch (e) {
        return 0;
    }
    if (text === null) return 0;
    const size = lengthBytesUTF8(text) + 1;
    const out = _malloc(size);
    stringToUTF8(text, out, size);
    return out;
});

// 1 when the text was stored; 0 on a quota error or storage that refuses writes.
EM_JS(int, web_store_set, (const char* key, const char* text), {
    try {
        localStorage.setItem(UTF8ToString(key), UTF8ToString(text));
        return 1;
    } catch (e) {
        return 0;
    }
});
// clang-format on

std::string keyOf(const std::string& AppName, const std::string& ValueName) {
    std::string name = ValueName;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "KORVANEL/" + AppName + "/" + name;
}

}  // namespace

bool store::save(const std::string& AppName, const std::string& ValueName, std::int32_t Value) {
    return store::isValidAppName(AppName) && store::isStorableName(ValueName) &&
           web_store_set(keyOf(AppName, ValueName).c_str(), std::to_string(Value).c_str()) == 1;
}

std::int32_t GetRegValue(const std::string& AppName, const std::string& ValueName) {
    if (!store::isValidAppName(AppName) || !store::isStorableName(ValueName)) return 0;
    const std::unique_ptr<char, decltype(&std::free)> text(
        web_store_get(keyOf(AppName, ValueName).c_str()), &std::free);
    if (!text) return 0;
    return store::parseValue(text.get()).value_or(0);
}
