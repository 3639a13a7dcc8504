#pragma once

// Where the registry backend keeps an application's values. Programs that must reach them as
// the store does (the tests, which look at them, clear them and refuse writes to them) open
// these keys, so the path and the registry view are decided in one place. Windows only.
#include <windows.h>

#include <string>

namespace store::registry {

struct Key {
    HKEY root;
    std::string path;  // below root
    REGSAM view;       // the KEY_WOW64_* flag to open it with
};

// HKEY_LOCAL_MACHINE\SOFTWARE\KORVANEL\<AppName>, in the 32-bit view.
Key machineKey(const std::string& AppName);

// The player's copy of the machine key, where Windows' registry virtualization keeps it for a
// 32-bit program: below HKEY_CURRENT_USER\Software\Classes\VirtualStore\MACHINE, through
// WOW6432Node on 64-bit Windows only.
Key playersCopy(const std::string& AppName);

}  // namespace store::registry
