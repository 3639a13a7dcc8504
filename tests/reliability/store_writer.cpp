// Helper process for the crash and concurrency tests: saves records to the store directory
// named on its command line until killed (kill mode) or for a number of rounds (race mode).
//
//   store_writer kill <store dir>
//       Saves the game's three names over and over, one value set per round, the two sets in
//       turn. Writes one byte to stdout after each save returns, so the parent knows which
//       saves were complete when it killed us.
//   store_writer kill-through-writer <store dir>
//       The same, with every save going through a record writer process started first, as in
//       the installed game (into the files its package makes): killing us kills the writer,
//       often in the middle of a save.
//   store_writer set <store dir> <name> <value>
//       One save, as another running game makes it.
//   store_writer race <store dir> <writer> <writers> <rounds> <origin>
//       Waits until stdin closes, then from <origin> (CLOCK_MONOTONIC nanoseconds, the same for
//       every writer) saves once per round: its own names and the shared one in turn. Before
//       each save it reads its own names back. Exits 0, or 1 on a store error, or 2 when a
//       read-back found that another writer's save had put back an older value of ours.
#include "record_sets.h"
#include "settings/record_writer.h"
#include "settings/settings_store.h"
#include "support/shared_store.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int failures = 0;

int killMode() {
    for (long long k = 0;; ++k) {
        SaveRegValue(records::kApp, records::kNames[records::nameOfSave(k)],
                     records::valueOfSave(k));
        if (failures != 0) return 1;
        const char tick = 'x';
        if (write(STDOUT_FILENO, &tick, 1) != 1) return 1;
    }
}

int raceMode(int writer, int writers, int rounds, long long origin) {
    // Loads what a first read needs before the clock starts.
    GetRegValue(records::kApp, records::ownName(writer, 0));
    char c;
    while (read(STDIN_FILENO, &c, 1) > 0) {
    }
    // One save per round, in a time slot of the writer's own: saves of different writers follow
    // each other closely, often within one millisecond, yet rarely meet at the lock (a writer
    // that finds it taken sleeps a tenth of a second or more, and the race is gone).
    // A writer that fell behind (it waited for the lock) takes its next slot rather than
    // hurrying through the ones it missed.
    constexpr long long kSlotNs = 450000;
    const long long period = kSlotNs * writers;
    int regressions = 0;
    long long k = 0;
    for (int r = 0; r < rounds; ++r, ++k) {
        long long slot = origin + k * period + writer * kSlotNs;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long late = now.tv_sec * 1000000000LL + now.tv_nsec - slot;
        if (late > 0) {
            k += late / period + 1;
            slot = origin + k * period + writer * kSlotNs;
        }
        const timespec at{static_cast<time_t>(slot / 1000000000),
                          static_cast<long>(slot % 1000000000)};
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
        // Nobody else writes our names: anything but what we saved last is a lost update.
        for (int n = 0; n < records::kOwnNames; ++n) {
            const int last = records::lastRoundOf(r, n);
            if (last >= 0 && GetRegValue(records::kApp, records::ownName(writer, n)) !=
                                 records::ownValue(writer, last)) {
                ++regressions;
            }
        }
        const int n = records::nameOfRound(r);
        if (n < records::kOwnNames) {
            SaveRegValue(records::kApp, records::ownName(writer, n), records::ownValue(writer, r));
        } else {
            SaveRegValue(records::kApp, records::kShared, records::sharedValue(writer, r));
        }
    }
    if (regressions != 0) std::fprintf(stderr, "writer %d: %d lost updates\n", writer, regressions);
    return failures != 0 ? 1 : regressions != 0 ? 2 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    const bool kill = mode == "kill" || mode == "kill-through-writer";
    if (!kill && !((mode == "set" && argc == 5) || (mode == "race" && argc == 7))) {
        std::fprintf(stderr,
                     "usage: store_writer kill|kill-through-writer DIR | set DIR NAME VALUE | race "
                     "DIR WRITER WRITERS ROUNDS ORIGIN\n");
        return 64;
    }
    store::setDirectory(argv[2]);
    store::setErrorHandler([] { ++failures; });
    if (mode == "kill-through-writer") {
        if (!makeSharedStore(argv[2], records::kApp)) return 1;
        const store::RecordWriter writer = store::startRecordWriter();
        if (writer.fd < 0) return 1;
        store::useRecordWriter(writer.fd);
    }
    if (kill) return killMode();
    if (mode == "set") {
        SaveRegValue(records::kApp, argv[3], static_cast<std::int32_t>(std::atol(argv[4])));
        return failures != 0 ? 1 : 0;
    }
    return raceMode(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                    std::atoll(argv[6]));
}
