#include "settings/game_group.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace store {

namespace {

// The group the program was started with beyond the user's own: the saved set-group-ID of a
// setgid program, or the user's group when there is none.
gid_t savedGroup() {
    gid_t real = 0, effective = 0, saved = 0;
    if (getresgid(&real, &effective, &saved) != 0) return getgid();
    return saved;
}

}  // namespace

void dropGameGroup() {
    if (getegid() == getgid()) return;
    // Failing to give the group up would leave every library running with it: stop instead.
    if (setegid(getgid()) != 0) std::abort();
}

// Real and saved groups trade places for the write: library code that checks permissions with
// the real ids (access(2), as Qt's file checks do) then sees the game group too, and the user's
// group waits as the saved one. An unprivileged process may make exactly this exchange.
GameGroupScope::GameGroupScope() {
    const gid_t game = savedGroup();
    const gid_t user = getgid();
    if (game != user) raised_ = setresgid(game, game, user) == 0;
    // Files the store creates are shared with the group; the user's own umask may be stricter.
    oldMask_ = umask(S_IWOTH);
}

GameGroupScope::~GameGroupScope() {
    umask(static_cast<mode_t>(oldMask_));
    if (!raised_) return;
    gid_t real = 0, effective = 0, saved = 0;
    if (getresgid(&real, &effective, &saved) != 0 || setresgid(saved, saved, real) != 0) {
        std::abort();
    }
}

}  // namespace store
