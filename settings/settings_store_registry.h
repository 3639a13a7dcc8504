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

// The installed game's side of the Windows store: the installer opens the machine key to every
// account, and each account's own copy, kept while the key refused it, is folded in once.
namespace store {

// The installer's step, run with its rights: creates HKLM\SOFTWARE\KORVANEL\<AppName> (32-bit
// view) and lets the Users group read it and set its values, nothing more. True when done.
bool openToEveryAccount(const std::string& AppName);

// Called at start-up. Where the machine key takes this account's writes, this account's copy
// (Windows' VirtualStore) is merged into it, the lower record of each size kept, and removed, so
// it no longer shadows the machine's values. Where the key refuses (no installer), nothing
// changes. True when no copy is left to shadow the key.
bool mergeUserCopy(const std::string& AppName);

}  // namespace store
