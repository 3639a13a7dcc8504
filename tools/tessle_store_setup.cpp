// tessle-store-setup FOLDER: makes the installed game's shared record store, as root, when the
// package is configured. FOLDER (/var/games/KORVANEL) ends as root:games 2775 holding exactly
// the store Tessle.ini (0664), its lock Tessle.ini.lock (0660) and its spare Tessle.ini.spare
// (0664), all root:games, and Tessle.ini.new, an empty folder of root's that makes an older
// build's writer fail rather than take the store. The records of an earlier store are kept.
//
// Any process of the games group can change what is in the folder, so nothing here trusts a
// name in it: the folder is first closed to the group, so that from then on only root changes
// its entries; files are opened with O_NOFOLLOW and changed through their descriptors; new
// files are made in a folder of root's beside the store and renamed in; anything that is not
// what the package made (a link, a folder, another owner's file, a file linked elsewhere) is
// moved out and removed without following a link.
#include "settings/plain_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr off_t kMaxStoreSize = 1 << 20;  // what the game reads at most
const char* const kApp = "Tessle";
const char* const kRecordNames[] = {"MinStep33", "MinStep44", "PType"};

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "tessle-store-setup: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

struct Fd {
    int fd = -1;
    explicit Fd(int f = -1) : fd(f) {}
    ~Fd() {
        if (fd >= 0) close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

bool readAll(int fd, std::string& out) {
    return store::readAll(fd, out, static_cast<std::size_t>(kMaxStoreSize));
}

using store::writeAll;

// Only the game's three values, as plain numbers, from a store that was not root's own file:
// its text may be anything its owner could read, so nothing else of it is copied.
std::string valuesOnly(const std::string& text) {
    std::string out = "[General]\n";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string name = line.substr(0, eq), value = line.substr(eq + 1);
        const auto trim = [](std::string& s) {
            while (!s.empty() && std::strchr(" \t\r", s.back())) s.pop_back();
            while (!s.empty() && std::strchr(" \t\r", s.front())) s.erase(0, 1);
        };
        trim(name);
        trim(value);
        if (value.empty() || value.size() > 6 ||
            value.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        for (const char* known : kRecordNames) {
            if (store::sameName(name, known) &&
                out.find(std::string(known) + "=") == std::string::npos) {
                out += std::string(known) + "=" + std::to_string(std::stol(value)) + "\n";
            }
        }
    }
    return out;
}

// Removes an entry and everything under it, following no link.
void removeTree(int dir, const char* name) {
    struct stat st {};
    if (fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
    if (S_ISDIR(st.st_mode)) {
        const int sub = openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub >= 0) {
            if (DIR* list = fdopendir(sub)) {
                std::vector<std::string> names;
                while (const dirent* e = readdir(list)) {
                    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
                        names.emplace_back(e->d_name);
                    }
                }
                for (const std::string& n : names) removeTree(dirfd(list), n.c_str());
                closedir(list);
            } else {
                close(sub);
            }
        }
        if (unlinkat(dir, name, AT_REMOVEDIR) != 0) fail(std::string("removing ") + name);
    } else if (unlinkat(dir, name, 0) != 0) {
        fail(std::string("removing ") + name);
    }
}

class Setup {
  public:
    Setup(int store, int staging, gid_t games) : store_(store), staging_(staging), games_(games) {}

    // Moves whatever `name` is in the store folder out into the staging folder.
    void setAside(const char* name) {
        const std::string aside = "aside." + std::to_string(aside_++);
        if (renameat(store_, name, staging_, aside.c_str()) != 0 && errno != ENOENT) {
            fail(std::string("moving ") + name + " aside");
        }
    }

    // Every entry that is not one of `keep` goes.
    void clearOthers(const std::vector<std::string>& keep) {
        const int copy = dup(store_);
        DIR* list = copy >= 0 ? fdopendir(copy) : nullptr;
        if (!list) fail("listing the store folder");
        std::vector<std::string> others;
        while (const dirent* e = readdir(list)) {
            const std::string n = e->d_name;
            if (n == "." || n == "..") continue;
            bool ours = false;
            for (const std::string& k : keep) ours = ours || k == n;
            if (!ours) others.push_back(n);
        }
        closedir(list);
        for (const std::string& n : others) setAside(n.c_str());
    }

    // Makes `name` a root:games file of `mode`. A plain file of root's with no other link is
    // the package's from before and is kept; anything else is replaced, the store keeping its
    // records.
    void file(const char* name, mode_t mode, bool isStore) {
        Fd fd(openat(store_, name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat st {};
        const bool regular = fd.fd >= 0 && fstat(fd.fd, &st) == 0 && S_ISREG(st.st_mode);
        if (regular && st.st_uid == 0 && st.st_nlink == 1 && st.st_size <= kMaxStoreSize) {
            if (fchown(fd.fd, 0, games_) != 0 || fchmod(fd.fd, mode) != 0) fail(name);
            // An empty store reads the same as one caught half-way through a save.
            if (isStore && st.st_size == 0 && !writeAll(fd.fd, "[General]\n")) fail(name);
            return;
        }
        std::string text;
        if (isStore) {
            std::string old;
            if (regular && st.st_size <= kMaxStoreSize && readAll(fd.fd, old)) {
                text = valuesOnly(old);
            } else {
                text = "[General]\n";
            }
        }
        Fd made(openat(staging_, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (made.fd < 0 || !writeAll(made.fd, text) || fsync(made.fd) != 0 ||
            fchown(made.fd, 0, games_) != 0 || fchmod(made.fd, mode) != 0) {
            fail(std::string("making ") + name);
        }
        struct stat there {};
        if (fstatat(store_, name, &there, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(there.st_mode)) {
            setAside(name);  // rename cannot put a file over a folder
        }
        if (renameat(staging_, name, store_, name) != 0) fail(std::string("placing ") + name);
    }

    // Makes `name` an empty folder of root's, mode 0755.
    void marker(const char* name) {
        struct stat st {};
        if (fstatat(store_, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISDIR(st.st_mode) && st.st_uid == 0) {
                Fd dir(openat(store_, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
                if (dir.fd >= 0 && fchown(dir.fd, 0, 0) == 0 && fchmod(dir.fd, 0755) == 0) return;
            }
            setAside(name);
        }
        if (mkdirat(store_, name, 0700) != 0) fail(std::string("making ") + name);
        Fd dir(openat(store_, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (dir.fd < 0 || fchmod(dir.fd, 0755) != 0) fail(std::string("making ") + name);
    }

  private:
    int store_, staging_;
    gid_t games_;
    int aside_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] != '/') {
        std::fprintf(stderr, "usage: tessle-store-setup /ABSOLUTE/STORE/FOLDER\n");
        return 2;
    }
    umask(077);
    const std::string path = argv[1];
    const std::size_t slash = path.find_last_of('/');
    const std::string parentPath = slash == 0 ? "/" : path.substr(0, slash);
    const std::string leaf = path.substr(slash + 1);
    if (leaf.empty() || leaf == "." || leaf == "..") {
        std::fprintf(stderr, "tessle-store-setup: %s names no folder\n", path.c_str());
        return 2;
    }
    const group* g = getgrnam("games");
    if (!g) fail("no group games");
    const gid_t games = g->gr_gid;

    // The folder above must be root's alone, or no name in it could be trusted either.
    Fd parent(open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat pst {};
    if (parent.fd < 0 || fstat(parent.fd, &pst) != 0) fail(parentPath);
    if (pst.st_uid != 0 || (pst.st_mode & 022) != 0) {
        errno = EPERM;
        fail(parentPath + " can be changed by others than root");
    }

    // A folder of root's beside the store for new files and what is moved out; one left by a
    // setup that was cut off goes first.
    const std::string stagingPrefix = "." + leaf + ".setup.";
    {
        const int copy = dup(parent.fd);
        DIR* list = copy >= 0 ? fdopendir(copy) : nullptr;
        if (!list) fail("listing " + parentPath);
        std::vector<std::string> stale;
        while (const dirent* e = readdir(list)) {
            if (std::strncmp(e->d_name, stagingPrefix.c_str(), stagingPrefix.size()) == 0) {
                stale.emplace_back(e->d_name);
            }
        }
        closedir(list);
        for (const std::string& n : stale) removeTree(parent.fd, n.c_str());
    }
    const std::string stagingName = stagingPrefix + std::to_string(getpid());
    if (mkdirat(parent.fd, stagingName.c_str(), 0700) != 0) fail("making " + stagingName);
    Fd staging(
        openat(parent.fd, stagingName.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (staging.fd < 0) fail("opening " + stagingName);

    // The store folder itself: root's folder, or a new one.
    struct stat sst {};
    if (fstatat(parent.fd, leaf.c_str(), &sst, AT_SYMLINK_NOFOLLOW) == 0 &&
        !(S_ISDIR(sst.st_mode) && sst.st_uid == 0)) {
        if (renameat(parent.fd, leaf.c_str(), staging.fd, "old-folder") != 0) fail(path);
    }
    if (mkdirat(parent.fd, leaf.c_str(), 0755) != 0 && errno != EEXIST) fail(path);
    Fd store(openat(parent.fd, leaf.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (store.fd < 0 || fstat(store.fd, &sst) != 0 || sst.st_uid != 0) fail(path);
    // Closed to the group: from here on only root changes what is in it.
    if (fchmod(store.fd, 0755) != 0) fail(path);

    const std::string ini = std::string(kApp) + ".ini";
    const std::string lock = ini + ".lock", spare = ini + ".spare", marker = ini + ".new";
    Setup setup(store.fd, staging.fd, games);
    setup.clearOthers({ini, lock, spare, marker});
    setup.file(ini.c_str(), 0664, true);
    setup.file(lock.c_str(), 0660, false);
    setup.file(spare.c_str(), 0664, false);
    setup.marker(marker.c_str());
    if (fsync(store.fd) != 0) fail(path);

    // Open to the games group again, for the record writer's swaps.
    if (fchown(store.fd, 0, games) != 0 || fchmod(store.fd, 02775) != 0) fail(path);
    removeTree(parent.fd, stagingName.c_str());
    return 0;
}
