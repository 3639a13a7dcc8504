#include "settings/game_group.h"

#include "settings/record_writer.h"

#include <unistd.h>

#include <cstdlib>

namespace store {

namespace {

bool allGroupsAre(gid_t group) {
    gid_t real = 0, effective = 0, saved = 0;
    return getresgid(&real, &effective, &saved) == 0 && real == group && effective == group &&
           saved == group;
}

}  // namespace

void dropGameGroup() {
    const gid_t user = getgid();
    if (allGroupsAre(user)) return;
    // The writer keeps the group the program was started with. Without one, saves still try
    // the file and fail with the usual error box.
    const RecordWriter writer = startRecordWriter();
    // Failing to give the group up for good would leave it to every library: stop instead.
    if (setresgid(user, user, user) != 0 || !allGroupsAre(user)) std::abort();
    if (writer.fd >= 0) useRecordWriter(writer.fd);
}

}  // namespace store
