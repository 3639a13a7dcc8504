#pragma once

// The installed game is setgid "games" so that every user's game can write the one shared record
// store, but the game process runs code chosen by the user's environment (toolkit plugins,
// themes, input methods) and so keeps no trace of that group. Before any of that exists, start-up
// forks the record writer, a small process that keeps the group, loads nothing, reads no
// environment, and takes only "set NAME N" requests for the game's own values in their ranges
// over a socket, answering whether the save succeeded. It ends with the game. Without the setgid
// bit there is no writer and the game saves directly.

#include "game/app_info.h"

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace store {

// The group of values the writer saves: the only one the game has.
inline constexpr const char* kRecordApp = kAppKey;

struct RecordWriter {
    pid_t pid = -1;
    int fd = -1;  // the game's end of the channel (close-on-exec); -1 when none was started
};

// Forks the writer with the groups this process has now. Call while the process is still single
// threaded, before any library has run code of its own.
RecordWriter startRecordWriter();

// From now on saves go through the writer at `fd` (-1: straight to the file again). Once the
// writer is gone (it died, or did not answer in time), every save fails rather than trying the
// file itself.
void useRecordWriter(int fd);
bool hasRecordWriter();
bool saveThroughRecordWriter(const std::string& AppName, const std::string& ValueName,
                             std::int32_t Value);

// The file backend's save itself: read, change and replace the file under the store lock, making
// the folder and the files when missing. What a game without a writer does.
bool saveToFile(const std::string& AppName, const std::string& ValueName, std::int32_t Value);

enum class SaveRule {
    kAsAsked,
    // A record only goes down: the lower of the stored record (when it is one, at least the
    // floor) and the value.
    kKeepLowerRecord,
};

// The shared store's spare, beside <AppName>.ini. Older builds used ".new", as a file of their
// own or the package's; the package now makes ".new" a folder, which makes every save of an
// older build's writer fail instead of taking the store.
inline constexpr const char* kSpareSuffix = ".spare";

// The writer's save, into the store the package made: <AppName>.ini, its .lock and its .spare
// spare must already be there as regular files of the folder's owner that no player may write.
// Nothing is created, removed or followed: anything else fails the save and is left alone. The
// new text goes into the spare in place, which is then swapped with the store.
bool saveToSharedFile(const std::string& AppName, const std::string& ValueName, std::int32_t Value,
                      SaveRule rule, std::int32_t floor = 1);

}  // namespace store
