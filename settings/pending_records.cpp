// Values waiting for the store, in the player's own data folder: <dir>/<AppName>.pending, one
// "Name=value" line each. Only the player's own game reads or writes it, so it needs no lock;
// it is replaced whole (written beside, then renamed), so a crash leaves the old list or the new.
#include "settings/settings_store.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace store {

namespace {

using Pending = std::map<std::string, std::int32_t>;

// Where the desktop keeps a user's application data.
std::string defaultDirectory() {
#if defined(__EMSCRIPTEN__)
    return {};
#elif defined(_WIN32)
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    return local && *local ? (fs::path(local) / "Tessle").u8string() : std::string{};
#else
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/tessle";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/tessle";
    return {};
#endif
}

std::string& directorySetting() {
    static std::string dir = defaultDirectory();
    return dir;
}

fs::path fileOf(const std::string& AppName) {
    return fs::u8path(directorySetting()) / fs::u8path(AppName + ".pending");
}

Pending load(const std::string& AppName) {
    Pending values;
    if (directorySetting().empty() || !isValidAppName(AppName)) return values;
    std::ifstream in(fileOf(AppName), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string name = line.substr(0, eq);
        const std::optional<std::int32_t> value = parseValue(line.substr(eq + 1));
        if (isStorableName(name) && value) values[name] = *value;
    }
    return values;
}

bool write(const std::string& AppName, const Pending& values) {
    std::error_code error;
    const fs::path file = fileOf(AppName);
    if (values.empty()) {
        fs::remove(file, error);
        return !error;
    }
    fs::create_directories(file.parent_path(), error);
    if (error) return false;
    fs::path temp = file;
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const auto& [name, value] : values) out << name << '=' << value << '\n';
        out.flush();
        if (!out) return false;
    }
    fs::rename(temp, file, error);
    return !error;
}

// Names match without regard to case, as in the store.
std::string key(const std::string& ValueName) {
    std::string k = ValueName;
    for (char& c : k) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return k;
}

}  // namespace

bool keepPending(const std::string& AppName, const std::string& ValueName, std::int32_t Value) {
    if (directorySetting().empty() || !isValidAppName(AppName) || !isStorableName(ValueName)) {
        return false;
    }
    Pending values = load(AppName);
    const auto [at, added] = values.emplace(key(ValueName), Value);
    if (!added && Value >= at->second) return true;
    at->second = Value;
    return write(AppName, values);
}

std::optional<std::int32_t> pendingValue(const std::string& AppName, const std::string& ValueName) {
    const Pending values = load(AppName);
    const auto at = values.find(key(ValueName));
    if (at == values.end()) return std::nullopt;
    return at->second;
}

void forgetPending(const std::string& AppName, const std::string& ValueName, std::int32_t stored) {
    Pending values = load(AppName);
    const auto at = values.find(key(ValueName));
    // One kept meanwhile that is better than what was stored stays.
    if (at == values.end() || at->second < stored) return;
    values.erase(at);
    write(AppName, values);
}

std::string pendingDirectory() {
    return directorySetting();
}

void setPendingDirectory(const std::string& dir) {
    directorySetting() = dir;
}

}  // namespace store
