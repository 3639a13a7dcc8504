#include "settings/settings_store.h"

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

}  // namespace store
