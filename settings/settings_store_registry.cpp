// Windows backend: the registry itself, HKEY_LOCAL_MACHINE\SOFTWARE\KORVANEL\<AppName>, values
// as REG_DWORD. Registry value names are already matched without regard to case.
#include "settings/settings_store.h"

#include <windows.h>

namespace {

// The game was a 32-bit program first, so its records live in the 32-bit view of the registry
// (Wow6432Node on 64-bit Windows). A 64-bit build looks there too and keeps the same records;
// 32-bit Windows ignores the flag.
constexpr REGSAM kView = KEY_WOW64_32KEY;

std::string keyPath(const std::string& AppName) {
    return std::string(store::kVendorKey) + AppName;
}

}  // namespace

void SaveRegValue(const std::string& AppName, const std::string& ValueName,
                  const std::int32_t& Value) {
    HKEY key = nullptr;
    // Creates the vendor and application keys when missing. Without administrator rights
    // Windows refuses this (or the write below) and the failure is reported like any other.
    if (!store::isValidAppName(AppName) ||
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath(AppName).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | kView, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        store::reportWriteFailure();
        return;
    }
    const DWORD data = static_cast<DWORD>(Value);
    const LONG status = RegSetValueExA(key, ValueName.c_str(), 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);  // before reporting: the handler may sit in a modal error box
    if (status != ERROR_SUCCESS) store::reportWriteFailure();
}

std::int32_t GetRegValue(const std::string& AppName, const std::string& ValueName) {
    HKEY key = nullptr;
    if (!store::isValidAppName(AppName) ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath(AppName).c_str(), 0, KEY_READ | kView, &key) !=
            ERROR_SUCCESS) {
        return 0;
    }
    // Whatever type the value has, up to four bytes are read little-endian into a zeroed
    // DWORD; anything longer fails with ERROR_MORE_DATA and reads as 0.
    DWORD data = 0;
    DWORD size = sizeof data;
    const LONG status = RegQueryValueExA(key, ValueName.c_str(), nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? static_cast<std::int32_t>(data) : 0;
}
