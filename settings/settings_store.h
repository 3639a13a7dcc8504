#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The three small integers the game keeps between runs, one set for the whole machine, under
// the key "SOFTWARE\KORVANEL\" + AppName. Names match without regard to case. No state is kept
// between calls: each one opens the store, does its one operation and closes it again.

// Writes one value. A failed write calls the error handler once and returns normally.
void SaveRegValue(const std::string& AppName, const std::string& ValueName,
                  const std::int32_t& Value);

// The stored value, or 0 when the store, the value or its text cannot be read.
std::int32_t GetRegValue(const std::string& AppName, const std::string& ValueName);

namespace store {

// Writes one value as SaveRegValue does, but tells the caller whether it was written instead of
// reporting a failure.
bool save(const std::string& AppName, const std::string& ValueName, std::int32_t Value);

// Records that could not be stored when they were set wait in the player's own data folder
// ($XDG_DATA_HOME/tessle, %LOCALAPPDATA%\Tessle) until a later save stores them, so a store
// that is locked, full or refused loses nothing. One file per application, one line per value;
// the browser keeps none (its store does not fail that way).
// Keeps `Value` for `ValueName`, or the lower of it and one already kept. False when it could
// not be kept either.
bool keepPending(const std::string& AppName, const std::string& ValueName, std::int32_t Value);
// The value kept for `ValueName`, if any.
std::optional<std::int32_t> pendingValue(const std::string& AppName, const std::string& ValueName);
// Forgets the value kept for `ValueName` once `stored`, a value at least as good, is in the store.
void forgetPending(const std::string& AppName, const std::string& ValueName, std::int32_t stored);
// The folder of the pending files; tests point it at a temporary folder. Empty: none is kept.
std::string pendingDirectory();
void setPendingDirectory(const std::string& dir);

inline constexpr const char* kVendorKey = "SOFTWARE\\KORVANEL\\";

using ErrorHandler = std::function<void()>;
// Called once per failed write; the application shows its error box from it.
ErrorHandler setErrorHandler(ErrorHandler handler);
void reportWriteFailure();

// The machine store directory (file backend only). Fixed at build time; tests point it at a
// temporary folder.
std::string directory();
void setDirectory(const std::string& dir);

// Application names name one group of values; anything that could reach outside the store
// (path separators, "..") is refused.
bool isValidAppName(const std::string& AppName);

// Value names: letters, digits, '_', '-' and '.', which every backend keeps as they are.
bool isStorableName(const std::string& name);

// A stored value's text as a number: strict decimal (optional sign, digits only, within 32
// bits); nothing for anything else.
std::optional<std::int32_t> parseValue(const std::string& text);

}  // namespace store
