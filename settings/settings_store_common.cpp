#include "settings/settings_store.h"

#include <limits>
#include <utility>

#ifndef TESSLE_STORE_DIR
#define TESSLE_STORE_DIR "/var/games"
#endif

namespace store {

namespace {
ErrorHandler& errorHandler() {
    static ErrorHandler handler;
    return handler;
}
std::string& storeDirectory() {
    static std::string dir = TESSLE_STORE_DIR;
    return dir;
}
}  // namespace

ErrorHandler setErrorHandler(ErrorHandler handler) {
    return std::exchange(errorHandler(), std::move(handler));
}

void reportWriteFailure() {
    if (const auto& handler = errorHandler()) handler();
}

}  // namespace store

void SaveRegValue(const std::string& AppName, const std::string& ValueName,
                  const std::int32_t& Value) {
    if (!store::save(AppName, ValueName, Value)) store::reportWriteFailure();
}

namespace store {

std::string directory() {
    return storeDirectory();
}
void setDirectory(const std::string& dir) {
    storeDirectory() = dir;
}

bool isValidAppName(const std::string& AppName) {
    if (AppName.empty() || AppName == "." || AppName == "..") return false;
    for (const char c : AppName) {
        if (c == '/' || c == '\\' || c == '\0') return false;
    }
    return true;
}

// Names are written as they are, so only characters that need no escaping in an INI key or a
// storage key are allowed.
bool isStorableName(const std::string& name) {
    if (name.empty()) return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
        if (!ok) return false;
    }
    return true;
}

// Strict decimal: optional sign, digits only, within 32 bits.
std::optional<std::int32_t> parseValue(const std::string& text) {
    if (text.empty()) return std::nullopt;
    std::size_t i = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+') ++i;
    if (i == text.size() || text.size() - i > 10) return std::nullopt;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        v = v * 10 + (text[i] - '0');
    }
    if (negative) v = -v;
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(v);
}

}  // namespace store
