#pragma once

// Reading and writing whole small files through descriptors, and the store's case-blind names:
// what the record store, its writer and the package's set-up step all need, with nothing but
// POSIX, as the setgid writer and the root set-up step require.
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

namespace store {

// The rest of an open file; false past `limit` bytes or on an error.
inline bool readAll(int fd, std::string& bytes, std::size_t limit) {
    char buf[4096];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.append(buf, static_cast<std::size_t>(n));
        if (bytes.size() > limit) return false;
    }
}

inline bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// ASCII names compared without regard to case, as the store matches them.
inline bool sameName(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace store
