#pragma once

// The installed game's store as its package sets it up: the folder and the store, its lock and
// its spare, which the record writer only ever rewrites. For the writer's tests.

#include "settings/record_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

// The spare's name in the store's folder.
inline std::string spareName(const std::string& app) {
    return app + ".ini" + store::kSpareSuffix;
}

// Makes <dir>/KORVANEL/<app>.ini (holding `bytes` when it is new), .ini.lock and the spare,
// keeping files that are there already. False when one cannot be made.
inline bool makeSharedStore(const std::string& dir, const std::string& app,
                            const std::string& bytes = "") {
    const std::string folder = dir + "/KORVANEL";
    if (mkdir(folder.c_str(), 0775) != 0 && errno != EEXIST) return false;
    const struct {
        std::string name;
        mode_t mode;
        std::string text;
    } files[] = {
        {app + ".ini", 0664, bytes}, {app + ".ini.lock", 0660, {}}, {spareName(app), 0664, {}}};
    for (const auto& f : files) {
        const std::string path = folder + "/" + f.name;
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, f.mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const bool ok = fchmod(fd, f.mode) == 0 && write(fd, f.text.data(), f.text.size()) ==
                                                       static_cast<ssize_t>(f.text.size());
        close(fd);
        if (!ok) return false;
    }
    return true;
}
