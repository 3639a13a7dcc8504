#pragma once

#include <string>

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
