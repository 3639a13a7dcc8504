// File backend: one INI file per application, <store dir>/KORVANEL/<AppName>.ini, values as
// decimal text in its [General] section ("Name=123" lines).
//
// Every call reads the file afresh. A cache that decides by size and modification time whether
// the file changed cannot tell two saves of equal length within one millisecond apart: it
// hands back the older value and, on the next save, writes it back over the newer one.
//
// A save holds an flock on <file>.lock while it reads, changes and replaces the file. The lock
// goes with the process that holds it, so a game killed while saving leaves nothing that blocks
// the next one. Builds that used QLockFile take the same file and flock it too: they wait for us,
// and we wait for them. The replacement is atomic (a temporary file in the same folder, synced,
// then renamed over the old one), so readers need no lock and see the old file or the new one,
// never a mix. Lines the store does not own (other sections, comments, anything it cannot read)
// are kept as they are.
//
// The installed game's record writer saves differently, into files the package made (see
// "The installed game's shared store" below); everything else about the file is the same.
//
// Plain POSIX and no library that loads code or reads the environment: the record writer of the
// installed game runs this with the games group.
#include "settings/plain_io.h"
#include "settings/record_writer.h"
#include "settings/settings_store.h"

#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

using store::isStorableName;
using store::parseValue;
using store::writeAll;

// A save holds the lock for a few milliseconds. A game's own store waits long for a busy one.
constexpr std::chrono::milliseconds kLockWait{10000};
// The shared store's lock can be held up by another user, who can stop their own writer inside
// a save (SIGSTOP): the writer gives up soon, so that a close never freezes, and the game keeps
// the record for a later save.
constexpr std::chrono::milliseconds kSharedLockWait{1000};
// Far beyond any store the game writes; a larger file is not ours to load and write back.
constexpr off_t kMaxFileSize = 1 << 20;
constexpr const char kBom[] = "\xEF\xBB\xBF";

std::string vendorDir() {
    return store::directory() + "/KORVANEL";
}

std::string iniPath(const std::string& AppName) {
    return vendorDir() + "/" + AppName + ".ini";
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string trimmed(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

// The file as lines, and which of them are ours: those before the first section header and
// those under a [General] header.
class IniText {
  public:
    explicit IniText(std::string bytes) {
        // A UTF-8 byte order mark belongs to the file, not to its first line.
        if (bytes.compare(0, 3, kBom) == 0) {
            bom_ = true;
            bytes.erase(0, 3);
        }
        if (bytes.empty()) return;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = bytes.find('\n', start);
            if (end == std::string::npos) {
                // Text after the last line break is a line too; a final line break ends the file.
                if (start < bytes.size()) lines_.push_back(bytes.substr(start));
                break;
            }
            lines_.push_back(bytes.substr(start, end - start));
            start = end + 1;
        }
    }

    std::string bytes() const {
        std::string out = bom_ ? kBom : "";
        for (const std::string& line : lines_) out += line + '\n';
        return out;
    }

    // The value of the first line of ours with that name; nothing when absent or unreadable.
    std::optional<std::int32_t> value(const std::string& name) const {
        const long at = find(name);
        if (at < 0) return std::nullopt;
        std::string key, value;
        split(lines_[static_cast<std::size_t>(at)], key, value);
        return parseValue(value);
    }

    // The first line of ours with that name gets the value, keeping the name's spelling there;
    // later lines of ours with that name go (they could never be read), all in one pass, so a
    // file full of repeated names costs no more than its length. A new name goes at the end of
    // the [General] section, which is made first in the file when there is none.
    void set(const std::string& name, std::int32_t v) {
        const std::string number = std::to_string(v);
        std::vector<std::string> kept;
        kept.reserve(lines_.size());
        bool ours = true;
        bool found = false;
        for (std::string& line : lines_) {
            std::string key, old;
            if (isHeader(line)) {
                ours = isGeneral(line);
            } else if (ours && split(line, key, old) && equalsIgnoringCase(key, name)) {
                if (found) continue;
                found = true;
                line = key + '=' + number;
            }
            kept.push_back(std::move(line));
        }
        lines_ = std::move(kept);
        if (found) return;
        const long header = generalHeader();
        if (header < 0) {
            lines_.insert(lines_.begin(), {"[General]", name + '=' + number});
            return;
        }
        auto end = static_cast<std::size_t>(header) + 1;
        while (end < lines_.size() && !isHeader(lines_[end])) ++end;
        while (end > static_cast<std::size_t>(header) + 1 && trimmed(lines_[end - 1]).empty()) {
            --end;
        }
        lines_.insert(lines_.begin() + static_cast<long>(end), name + '=' + number);
    }

  private:
    static bool isHeader(const std::string& line) {
        const std::string t = trimmed(line);
        return !t.empty() && t[0] == '[';
    }

    static bool isGeneral(const std::string& header) {
        std::string name = trimmed(header).substr(1);
        const std::size_t close = name.find(']');
        if (close != std::string::npos) name.resize(close);
        return equalsIgnoringCase(trimmed(name), "General");
    }

    static bool split(const std::string& line, std::string& key, std::string& value) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) return false;
        key = trimmed(line.substr(0, eq));
        value = trimmed(line.substr(eq + 1));
        return !key.empty();
    }

    // Index of the first line of ours whose name matches, or -1.
    long find(const std::string& name) const {
        bool ours = true;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const std::string& line = lines_[i];
            if (isHeader(line)) {
                ours = isGeneral(line);
                continue;
            }
            std::string key, value;
            if (ours && split(line, key, value) && equalsIgnoringCase(key, name)) {
                return static_cast<long>(i);
            }
        }
        return -1;
    }

    long generalHeader() const {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (isHeader(lines_[i]) && isGeneral(lines_[i])) return static_cast<long>(i);
        }
        return -1;
    }

    bool bom_ = false;
    std::vector<std::string> lines_;
};

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) close(fd_);
        fd_ = fd;
    }
    // Closes now, reporting what close says: a write that fails late shows up here.
    bool closeChecked() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

  private:
    int fd_;
};

// The rest of an open file, within the size limit.
bool readAll(int fd, std::string& bytes) {
    return store::readAll(fd, bytes, static_cast<std::size_t>(kMaxFileSize));
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool unchanged(const struct stat& a, const struct stat& b) {
    return sameFile(a, b) && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

enum class Read { kFailed, kSettled, kDoubtful, kEmpty };

// One read of the file. Doubtful when it may have caught a save of the shared store half-way:
// that store swaps its file with a spare, so a reader that opened the file before a swap can
// be reading the spare while the next save rewrites it. Such a read saw the file change, or
// the name no longer leads to the file it read, or found it empty.
Read readOnce(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Non-blocking, so that a pipe put in the file's place is refused rather than waited on.
    const Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (fd.get() < 0) return errno == ENOENT ? Read::kSettled : Read::kFailed;
    struct stat before {};
    if (fstat(fd.get(), &before) != 0 || !S_ISREG(before.st_mode) ||
        before.st_size > kMaxFileSize) {
        return Read::kFailed;
    }
    if (!readAll(fd.get(), bytes)) return Read::kFailed;
    struct stat after {};
    struct stat named {};
    if (fstat(fd.get(), &after) != 0 || lstat(path.c_str(), &named) != 0 ||
        !unchanged(before, after) || !sameFile(after, named)) {
        return Read::kDoubtful;
    }
    return bytes.empty() ? Read::kEmpty : Read::kSettled;
}

// The file's bytes; empty when there is no file. False when something is there that cannot be
// read as a file (a folder, a pipe, no permission, too large). A doubtful read is made again a
// few times: a save takes milliseconds. Today's saves never leave the file empty, but an older
// build truncated the spare before writing it: an empty file is looked at twice more, and one
// that stays empty is an empty store.
bool readStoreFile(const std::string& path, std::string& bytes) {
    for (int attempt = 0;; ++attempt) {
        const Read read = readOnce(path, bytes);
        if (read == Read::kFailed || read == Read::kSettled) return read == Read::kSettled;
        if (attempt == (read == Read::kEmpty ? 2 : 40)) return true;
        const timespec pause{0, (attempt < 5 ? 200L : 2000L) * 1000};
        nanosleep(&pause, nullptr);
    }
}

// Creates the folder and those above it that are missing, as mkdir -p does.
bool makePath(const std::string& dir) {
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makePath(dir.substr(0, slash))) return false;
    // Group-writable whatever the user's umask (the group shares the store), keeping the
    // set-group-ID bit a folder inherits from its parent.
    if (mkdir(dir.c_str(), 0775) == 0) {
        return stat(dir.c_str(), &st) == 0 && chmod(dir.c_str(), (st.st_mode & 07777) | 0775) == 0;
    }
    return errno == EEXIST && stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Waits for an exclusive flock on an open file, up to the deadline.
bool waitForLock(int fd, std::chrono::steady_clock::time_point deadline) {
    long pauseUs = 200;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        const timespec pause{0, pauseUs * 1000};
        nanosleep(&pause, nullptr);
        pauseUs = pauseUs < 20000 ? pauseUs * 2 : pauseUs;
    }
    return true;
}

// The store lock: an flock on <file>.lock. The file stays (removing it would let a waiter lock
// a file that is no longer there); a lock file that an older build removed or replaced while we
// waited is opened again.
bool takeLock(const std::string& path, Fd& lock) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        lock.reset(open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0660));
        if (lock.get() < 0 || !waitForLock(lock.get(), deadline)) return false;
        struct stat held {};
        struct stat named {};
        if (fstat(lock.get(), &held) != 0) return false;
        if (lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino) {
            // The group's other writers must be able to open it, whatever the creator's umask,
            // and nobody else (a file an older build made may be readable by all).
            if ((held.st_mode & 07777) != 0660) fchmod(lock.get(), 0660);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
}

// Writes the whole file beside the old one and renames it over it. Under the lock no other save
// is under way, so the temporary file has a fixed name: one left by a killed save is replaced
// here rather than piling up.
bool replaceFile(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".new";
    if (unlink(temp.c_str()) != 0 && errno != ENOENT) return false;
    Fd fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0664));
    if (fd.get() < 0) return false;
    // Readable by every player (the game reads the store without the games group), writable
    // by the group, whatever the user's umask.
    const bool ok = fchmod(fd.get(), 0664) == 0 && writeAll(fd.get(), bytes) &&
                    fsync(fd.get()) == 0 && fd.closeChecked();
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

// ---- The installed game's shared store ----
// The package makes the folder and its three files (the store, its lock and a spare), all
// root's, writable by the games group only. The record writer never creates, removes or
// changes the owner of anything there: it writes the new text into the spare in place and
// swaps it with the store in one step, so both stay the package's files, no player ever owns
// one, and a crash at any point leaves the old store or the new one whole.

struct SharedFolder {
    Fd dir;
    struct stat st {};
};

// The folder, when no player could change what is in it.
bool openSharedFolder(SharedFolder& folder) {
    folder.dir.reset(open(vendorDir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    return folder.dir.get() >= 0 && fstat(folder.dir.get(), &folder.st) == 0 &&
           (folder.st.st_mode & S_IWOTH) == 0;
}

// One of the folder's files as the package made it: a regular file of the folder's owner that
// no player may write, within the size limit. Anything else is not followed.
bool openSharedFile(const SharedFolder& folder, const std::string& name, int flags, Fd& fd) {
    fd.reset(openat(folder.dir.get(), name.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat st {};
    return fd.get() >= 0 && fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
           st.st_uid == folder.st.st_uid && (st.st_mode & S_IWOTH) == 0 &&
           st.st_size <= kMaxFileSize;
}

bool saveToShared(const std::string& AppName, const std::string& ValueName, std::int32_t Value,
                  store::SaveRule rule, std::int32_t floor) {
    SharedFolder folder;
    if (!openSharedFolder(folder)) return false;
    const std::string file = AppName + ".ini";
    Fd lock;
    if (!openSharedFile(folder, file + ".lock", O_RDONLY, lock) ||
        !waitForLock(lock.get(), std::chrono::steady_clock::now() + kSharedLockWait)) {
        return false;
    }
    Fd current;
    std::string bytes;
    if (!openSharedFile(folder, file, O_RDONLY, current) || !readAll(current.get(), bytes)) {
        return false;
    }
    IniText text(std::move(bytes));
    if (rule == store::SaveRule::kKeepLowerRecord) {
        // A stored value below the floor was never won: it is no record to keep.
        const std::optional<std::int32_t> stored = text.value(ValueName);
        if (stored && *stored >= floor && *stored < Value) Value = *stored;
    }
    text.set(ValueName, Value);
    const std::string spare = file + store::kSpareSuffix;
    Fd out;
    const std::string next = text.bytes();
    // The new text over the old from the start, then cut to its length: a reader still holding
    // this file from before the last swap never finds it empty (and notices the change).
    const bool written = openSharedFile(folder, spare, O_WRONLY, out) &&
                         writeAll(out.get(), next) &&
                         ftruncate(out.get(), static_cast<off_t>(next.size())) == 0 &&
                         fsync(out.get()) == 0 && out.closeChecked();
    if (!written) return false;
    if (renameat2(folder.dir.get(), spare.c_str(), folder.dir.get(), file.c_str(),
                  RENAME_EXCHANGE) != 0) {
        return false;
    }
    fsync(folder.dir.get());  // the swap itself lasts a power cut too
    return true;
}

}  // namespace

namespace store {

bool saveToSharedFile(const std::string& AppName, const std::string& ValueName, std::int32_t Value,
                      SaveRule rule, std::int32_t floor) {
    if (!isValidAppName(AppName) || !isStorableName(ValueName)) return false;
    return saveToShared(AppName, ValueName, Value, rule, floor);
}

bool saveToFile(const std::string& AppName, const std::string& ValueName, std::int32_t Value) {
    if (!isValidAppName(AppName) || !isStorableName(ValueName)) return false;
    if (!makePath(vendorDir())) return false;
    const std::string path = iniPath(AppName);
    Fd lock;
    if (!takeLock(path + ".lock", lock)) return false;

    std::string bytes;
    if (!readStoreFile(path, bytes)) return false;
    IniText text(std::move(bytes));
    text.set(ValueName, Value);
    return replaceFile(path, text.bytes());
}

}  // namespace store

bool store::save(const std::string& AppName, const std::string& ValueName, std::int32_t Value) {
    return store::hasRecordWriter() ? store::saveThroughRecordWriter(AppName, ValueName, Value)
                                    : store::saveToFile(AppName, ValueName, Value);
}

std::int32_t GetRegValue(const std::string& AppName, const std::string& ValueName) {
    if (!store::isValidAppName(AppName) || !isStorableName(ValueName)) return 0;
    std::string bytes;
    if (!readStoreFile(iniPath(AppName), bytes)) return 0;
    return IniText(std::move(bytes)).value(ValueName).value_or(0);
}
