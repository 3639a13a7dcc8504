// Windows backend: the registry itself, HKEY_LOCAL_MACHINE\SOFTWARE\KORVANEL\<AppName>, values
// as REG_DWORD. Registry value names are already matched without regard to case.
//
// A standard user may not write HKEY_LOCAL_MACHINE. The game was a legacy 32-bit program, whose
// records Windows' registry virtualization quietly sent to the player's own copy of the key. The
// game's manifest now names an execution level, which turns virtualization off, so the store does
// the same itself: a write the machine key denies goes to that per-user copy, and reads prefer a
// value found there, so records kept there by virtualization are read back as well.
#include "settings/settings_store_registry.h"

#include "settings/settings_store.h"

#include "game/app_info.h"

#include <sddl.h>

namespace {

using store::registry::Key;

// The game was a 32-bit program first, so its records live in the 32-bit view of the registry
// (Wow6432Node on 64-bit Windows). A 64-bit build looks there too and keeps the same records;
// 32-bit Windows ignores the flag.
constexpr REGSAM kView = KEY_WOW64_32KEY;

// Where virtualization keeps a user's copy of HKLM\SOFTWARE for a 32-bit program: below this
// key of HKEY_CURRENT_USER, with the machine path after it, through Wow6432Node on 64-bit
// Windows. The path is spelled out in full, so it is opened as it stands (no redirection).
constexpr const char* kVirtualStore = "Software\\Classes\\VirtualStore\\MACHINE\\";
constexpr REGSAM kVirtualView = KEY_WOW64_64KEY;

std::string keyPath(const std::string& AppName) {
    return std::string(store::kVendorKey) + AppName;
}

bool onWindows64() {
#ifdef _WIN64
    return true;
#else
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

LONG writeDword(const Key& where, const std::string& ValueName, std::int32_t Value) {
    HKEY key = nullptr;
    // Creates the vendor and application keys when missing.
    LONG status =
        RegCreateKeyExA(where.root, where.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | where.view, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    const DWORD data = static_cast<DWORD>(Value);
    status = RegSetValueExA(key, ValueName.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return status;
}

// Whatever type the value has, up to four bytes are read little-endian into a zeroed DWORD;
// anything longer fails with ERROR_MORE_DATA and reads as 0. The status says whether the key and
// the value were there at all.
LONG readDword(const Key& where, const std::string& ValueName, std::int32_t& Value) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(where.root, where.path.c_str(), 0, KEY_READ | where.view, &key);
    if (status != ERROR_SUCCESS) return status;
    DWORD data = 0;
    DWORD size = sizeof data;
    status = RegQueryValueExA(key, ValueName.c_str(), nullptr, nullptr,
                              reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    Value = status == ERROR_SUCCESS ? static_cast<std::int32_t>(data) : 0;
    return status;
}

bool missing(LONG status) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

}  // namespace

Key store::registry::machineKey(const std::string& AppName) {
    return {HKEY_LOCAL_MACHINE, keyPath(AppName), kView};
}

Key store::registry::playersCopy(const std::string& AppName) {
    const std::string machine = keyPath(AppName);  // "SOFTWARE\KORVANEL\<AppName>"
    const std::size_t below = machine.find('\\') + 1;
    std::string path = kVirtualStore + machine.substr(0, below);
    if (onWindows64()) path += "WOW6432Node\\";
    return {HKEY_CURRENT_USER, path + machine.substr(below), kVirtualView};
}

bool store::save(const std::string& AppName, const std::string& ValueName, std::int32_t Value) {
    if (!store::isValidAppName(AppName)) return false;
    LONG status = writeDword(store::registry::machineKey(AppName), ValueName, Value);
    // Only a refusal moves the write: any other failure is the store's to report.
    if (status == ERROR_ACCESS_DENIED) {
        status = writeDword(store::registry::playersCopy(AppName), ValueName, Value);
    }
    // Reported by the caller after the key is closed: its handler may sit in a modal error box.
    return status == ERROR_SUCCESS;
}

std::int32_t GetRegValue(const std::string& AppName, const std::string& ValueName) {
    if (!store::isValidAppName(AppName)) return 0;
    std::int32_t value = 0;
    const LONG own = readDword(store::registry::playersCopy(AppName), ValueName, value);
    if (!missing(own)) return value;  // the player's copy, where there is one
    readDword(store::registry::machineKey(AppName), ValueName, value);
    return value;
}

namespace {

// SYSTEM and Administrators keep full control, as below HKLM\SOFTWARE; Users may read the key
// and set its values (KEY_READ | KEY_SET_VALUE), but not delete it, change its security or
// owner, or make subkeys. Protected, so the parent's entries add nothing to it.
constexpr const char* kOpenToUsers = "D:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;;0x2001b;;;BU)";

// A stored record outside floor..99999 is no record; of two records the lower is kept.
bool isRecord(std::int32_t value, std::int32_t floor) {
    return value >= floor && value <= 99999;
}

}  // namespace

bool store::openToEveryAccount(const std::string& AppName) {
    if (!store::isValidAppName(AppName)) return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kOpenToUsers, SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        return false;
    }
    HKEY key = nullptr;
    LONG status =
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath(AppName).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, WRITE_DAC | kView, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    return status == ERROR_SUCCESS;
}

bool store::mergeUserCopy(const std::string& AppName) {
    if (!store::isValidAppName(AppName)) return false;
    HKEY machine = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath(AppName).c_str(), 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | kView, &machine) != ERROR_SUCCESS) {
        return false;  // the key refuses this account: its copy stays in use, as without installer
    }
    RegCloseKey(machine);
    const Key copy = store::registry::playersCopy(AppName);
    const Key shared = store::registry::machineKey(AppName);
    struct Merged {
        const char* name;
        std::int32_t floor;  // 0: not a record; the machine's value wins where it has one
    };
    constexpr Merged kValues[] = {
        {kMinStep33Value, kMinStep33Floor}, {kMinStep44Value, kMinStep44Floor}, {kPTypeValue, 0}};
    for (const Merged& value : kValues) {
        std::int32_t own = 0;
        if (readDword(copy, value.name, own) != ERROR_SUCCESS) {
            continue;  // no copy, or not this value in it
        }
        std::int32_t machineValue = 0;
        const LONG machineStatus = readDword(shared, value.name, machineValue);
        const bool take = value.floor == 0
                              ? machineStatus != ERROR_SUCCESS
                              : isRecord(own, value.floor) &&
                                    (!isRecord(machineValue, value.floor) || own < machineValue);
        // The copy goes only once the machine holds what it had: a failure here keeps it for the
        // next start, and merging again changes nothing.
        if (take && writeDword(shared, value.name, own) != ERROR_SUCCESS) {
            return false;
        }
    }
    const LONG removed = RegDeleteKeyExA(copy.root, copy.path.c_str(), copy.view, 0);
    return removed == ERROR_SUCCESS || missing(removed);
}
