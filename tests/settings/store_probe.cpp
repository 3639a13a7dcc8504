// Looks at the installed game's store from inside Wine for scripts/test-installers: the machine
// key's access list as the registry reports it, the values in the machine key and in this
// account's copy, and the store's own calls. One command per run; exit status 0 when it worked.
//   acl                 each entry of the key's access list: "allow|deny SID MASK FLAGS"
//   save NAME VALUE     store::save, as the game saves its records
//   get NAME            GetRegValue, as the game reads them
//   machine NAME        the value in the machine key, or "none"
//   copy NAME           the value in this account's copy (VirtualStore), or "none"
//   copy-set NAME VALUE writes this account's copy, as Windows' virtualization did
// Wine runs every program as an administrator and honours no restricted token, so what a
// standard account may do is read from the access list, not tried.
#include "game/app_info.h"
#include "settings/settings_store.h"

#include <windows.h>

#include <sddl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::string kMachine = std::string(store::kVendorKey) + kAppKey;
const std::string kCopy =
    "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\KORVANEL\\Tessle";
constexpr REGSAM kMachineView = KEY_WOW64_32KEY;
constexpr REGSAM kCopyView = KEY_WOW64_64KEY;

int printValue(HKEY root, const std::string& path, REGSAM view, const char* name) {
    HKEY key = nullptr;
    DWORD value = 0, size = sizeof value, type = REG_NONE;
    LONG status = RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key);
    if (status == ERROR_SUCCESS) {
        status =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
    }
    if (status == ERROR_SUCCESS && type == REG_DWORD) {
        std::printf("%lu\n", value);
    } else {
        std::printf("none\n");
    }
    return 0;
}

int writeCopy(const char* name, DWORD value) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, kCopy.c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE | kCopyView, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                sizeof value);
        RegCloseKey(key);
    }
    return status == ERROR_SUCCESS ? 0 : 1;
}

// Read back from the registry, not from what the installer meant to set.
int printAcl() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachine.c_str(), 0, READ_CONTROL | kMachineView, &key) !=
        ERROR_SUCCESS) {
        return 1;
    }
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    std::string buffer(size, '\0');
    auto* descriptor = static_cast<PSECURITY_DESCRIPTOR>(buffer.data());
    const LONG status = RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor, &size);
    RegCloseKey(key);
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    if (status != ERROR_SUCCESS ||
        !GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted) || !present || !acl) {
        return 1;  // no access list grants everyone everything
    }
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        ACE_HEADER* ace = nullptr;
        if (!GetAce(acl, i, reinterpret_cast<void**>(&ace))) return 1;
        const bool allow = ace->AceType == ACCESS_ALLOWED_ACE_TYPE;
        if (!allow && ace->AceType != ACCESS_DENIED_ACE_TYPE) return 1;
        // Allowed and denied entries share their layout: mask, then the SID.
        auto* entry = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
        char* sid = nullptr;
        if (!ConvertSidToStringSidA(&entry->SidStart, &sid)) return 1;
        std::printf("%s %s 0x%lx 0x%x\n", allow ? "allow" : "deny", sid, entry->Mask,
                    ace->AceFlags);
        LocalFree(sid);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc - 1;
    const std::string command = n > 0 ? argv[1] : "";
    const char* name = n > 1 ? argv[2] : "";
    if (command == "acl" && n == 1) return printAcl();
    if (command == "save" && n == 3) {
        return store::save(kAppKey, name, std::atoi(argv[3])) ? 0 : 1;
    }
    if (command == "get" && n == 2) {
        std::printf("%d\n", GetRegValue(kAppKey, name));
        return 0;
    }
    if (command == "machine" && n == 2) {
        return printValue(HKEY_LOCAL_MACHINE, kMachine, kMachineView, name);
    }
    if (command == "copy" && n == 2) return printValue(HKEY_CURRENT_USER, kCopy, kCopyView, name);
    if (command == "copy-set" && n == 3) {
        return writeCopy(name, static_cast<DWORD>(std::atol(argv[3])));
    }
    std::fprintf(stderr, "usage: store_probe acl|save|get|machine|copy|copy-set ...\n");
    return 2;
}
