// Windows backend: the registry itself, HKEY_LOCAL_MACHINE\SOFTWARE\KORVANEL\<AppName>, values
// as REG_DWORD. Registry value names are already matched without regard to case.
#include "settings/settings_store.h"

#include <windows.h>

namespace {
std::string keyPath(const std::string& AppName) {
    return std::string(store::kVendorKey) + AppName;
}
}  // namespace

void SaveRegValue(const std::string& AppName, const std::string& ValueName,
                  const std::int32_t& Value) {
    HKEY key = nullptr;
    if (!store::isValidAppName(AppName) ||
        RegCreateKeyA(HKEY_LOCAL_MACHINE, keyPath(AppName).c_str(), &key) != ERROR_SUCCESS) {
        store::reportWriteFailure();
        return;
    }
    const DWORD data = static_cast<DWORD>(Value);
    if (RegSetValueExA(key, ValueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                       sizeof data) != ERROR_SUCCESS) {
        store::reportWriteFailure();
    }
    RegCloseKey(key);
}

std::int32_t GetRegValue(const std::string& AppName, const std::string& ValueName) {
    HKEY key = nullptr;
    if (!store::isValidAppName(AppName) ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath(AppName).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
        return 0;
    }
    DWORD data = 0;
    DWORD size = sizeof data;
    const LONG status = RegQueryValueExA(key, ValueName.c_str(), nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? static_cast<std::int32_t>(data) : 0;
}
