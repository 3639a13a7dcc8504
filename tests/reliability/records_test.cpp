// The store under SIGKILL and under several writers at once, driven through real processes
// (store_writer) so that caches and locks are per process as they are between running games.
#include "record_sets.h"
#include "settings/settings_store.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

unsigned envOr(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

struct Child {
    pid_t pid = -1;
    int out = -1;  // its stdout, read end
    int in = -1;   // its stdin, write end (race mode)
};

// Starts store_writer with `args`; its stdout (and stdin when `gate`) are pipes to us.
Child spawnWriter(const std::vector<std::string>& args, bool gate) {
    // Close-on-exec: a writer started later must not hold an earlier one's gate open.
    int out[2], in[2] = {-1, -1};
    if (pipe2(out, O_CLOEXEC) != 0 || (gate && pipe2(in, O_CLOEXEC) != 0)) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    if (gate) {
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, in[0]);
        posix_spawn_file_actions_addclose(&actions, in[1]);
    }
    std::vector<std::string> all{STORE_WRITER};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    Child child;
    const int rc = posix_spawn(&child.pid, STORE_WRITER, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (gate) close(in[0]);
    if (rc != 0) {
        close(out[0]);
        if (gate) close(in[1]);
        return {};
    }
    child.out = out[0];
    child.in = gate ? in[1] : -1;
    return child;
}

// Bytes that are ready on `fd` (waiting at most `timeoutMs` for the first), or all that are
// left when the writer end is closed.
long long drain(int fd, int timeoutMs) {
    long long total = 0;
    pollfd p{fd, POLLIN, 0};
    char buf[4096];
    while (poll(&p, 1, total == 0 ? timeoutMs : 0) > 0) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        total += n;
    }
    return total;
}

class StoreProcesses : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previous_ = store::directory();
        useDirectory(dir_.path());
    }
    void TearDown() override { store::setDirectory(previous_); }

    void useDirectory(const QString& dir) {
        path_ = dir;
        store::setDirectory(dir.toStdString());
    }
    QString iniPath() const {
        return path_ + "/KORVANEL/" + QString::fromStdString(records::kApp) + ".ini";
    }
    QByteArray fileBytes() const {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QString path_;  // the store directory in use
    std::string previous_;
};

// A writer killed at a random moment, 200 times over: after every kill the file reads back
// and each name holds the value of its last complete save, or of the save that was cut off.
// Saving directly, and through a record writer that dies with the game.
class Killed : public StoreProcesses, public ::testing::WithParamInterface<const char*> {};

TEST_P(Killed, WriterNeverLeavesATornOrLostValue) {
    const unsigned seed = envOr("TESSLE_KILL_SEED", 20240611);
    const unsigned kills = envOr("TESSLE_KILLS", 200);
    std::cout << "kill test seed " << seed << " (TESSLE_KILL_SEED), " << kills << " kills\n";
    std::mt19937 random(seed);

    const bool throughWriter = std::string(GetParam()) == "kill-through-writer";
    // The record writer a killed game leaves comes to us, so that we can wait for its end: until
    // then it may still finish a save.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, throughWriter ? 1 : 0), 0);
    std::int32_t held[3] = {0, 0, 0};  // what the file holds for each name between runs
    unsigned survived = 0, beforeFirstSave = 0;
    long long totalSaves = 0;
    for (unsigned i = 0; i < kills; ++i) {
        const Child child = spawnWriter({GetParam(), path_.toStdString()}, false);
        ASSERT_GT(child.pid, 0) << "cannot start " << STORE_WRITER;
        // Mostly in the middle of saving; now and then while it is still starting.
        long long done = 0;
        if (random() % 8 != 0) done = drain(child.out, 5000);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
        ASSERT_EQ(kill(child.pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child.pid, &status, 0), child.pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer stopped by itself, status " << status;
        while (waitpid(-1, nullptr, 0) > 0) {  // its record writer, when it had one
        }
        done += drain(child.out, 0);
        close(child.out);
        totalSaves += done;
        if (done == 0) ++beforeFirstSave;

        bool clean = true;
        std::map<std::string, std::string> raw;
        std::string bad;
        const bool anyValue = held[0] != 0 || held[1] != 0 || held[2] != 0 || done > 0;
        if (anyValue) {
            EXPECT_TRUE(records::parseStoreFile(fileBytes(), raw, bad))
                << "kill " << i << ": unreadable line '" << bad << "'";
            clean = clean && bad.empty();
        }
        for (int n = 0; n < 3; ++n) {
            // Saves 0..done-1 are complete; save `done` may or may not have landed. Through the
            // writer a record (names 0 and 1) only ever goes down.
            const bool lowerOnly = throughWriter && n < 2;
            const auto after = [lowerOnly](std::int32_t stored, std::int32_t saved) {
                return lowerOnly && stored != 0 ? std::min(stored, saved) : saved;
            };
            std::set<std::int32_t> allowed;
            std::int32_t last = held[n];
            for (long long k = std::max(0LL, done - 6); k < done; ++k) {
                if (records::nameOfSave(k) == n) last = after(last, records::valueOfSave(k));
            }
            allowed.insert(last);
            if (records::nameOfSave(done) == n)
                allowed.insert(after(last, records::valueOfSave(done)));
            const std::int32_t got = GetRegValue(records::kApp, records::kNames[n]);
            const bool ok = allowed.count(got) == 1;
            EXPECT_TRUE(ok) << "kill " << i << " after " << done << " saves: " << records::kNames[n]
                            << " = " << got;
            if (got != 0) {
                const auto it = raw.find(QByteArray(records::kNames[n]).toLower().toStdString());
                EXPECT_TRUE(it != raw.end() && it->second == std::to_string(got))
                    << "kill " << i << ": the file disagrees with the store about "
                    << records::kNames[n];
                clean = clean && it != raw.end() && it->second == std::to_string(got);
            }
            clean = clean && ok;
            held[n] = got;
        }
        if (!clean) break;
        ++survived;
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    std::cout << "kills survived: " << survived << " of " << kills << " (" << beforeFirstSave
              << " before the first save, " << totalSaves << " saves completed in all)\n";
    RecordProperty("kills_survived", static_cast<int>(survived));
    RecordProperty("saves_completed", static_cast<int>(totalSaves));
    EXPECT_EQ(survived, kills);
    EXPECT_LT(beforeFirstSave, kills / 2) << "most kills should land while saving";
}

INSTANTIATE_TEST_SUITE_P(Saves, Killed, ::testing::Values("kill", "kill-through-writer"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "kill" ? "Direct"
                                                                      : "ThroughRecordWriter";
                         });

// Runs one save in a process of its own and returns its exit status.
int saveElsewhere(const QString& dir, const std::string& name, std::int32_t value) {
    const Child child = spawnWriter({"set", dir.toStdString(), name, std::to_string(value)}, false);
    if (child.pid <= 0) return -1;
    int status = 0;
    waitpid(child.pid, &status, 0);
    close(child.out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Two games saving within the same millisecond, values of the same length: the file keeps its
// size and its modification time (to the millisecond) while its contents change. Putting the
// time back after the other game's save makes that coincidence happen on every round instead
// of once in a great while; a store that trusts size and time to spot another game's save
// reads, and then writes back, what it saw before.
TEST_F(StoreProcesses, SaveByAnotherGameInTheSameMillisecondIsSeen) {
    const std::string mine = "MinStep33", theirs = "MinStep44";
    for (int round = 0; round < 20; ++round) {
        const std::int32_t before = 1000000 + round, after = 2000000 + round;
        SaveRegValue(records::kApp, theirs, before);
        SaveRegValue(records::kApp, mine, 3000000 + round);
        ASSERT_EQ(GetRegValue(records::kApp, theirs), before);

        struct stat was {};
        ASSERT_EQ(stat(iniPath().toLocal8Bit().constData(), &was), 0);
        ASSERT_EQ(saveElsewhere(path_, theirs, after), 0);
        const timespec times[2] = {was.st_atim, was.st_mtim};
        ASSERT_EQ(utimensat(AT_FDCWD, iniPath().toLocal8Bit().constData(), times, 0), 0);
        struct stat now {};
        ASSERT_EQ(stat(iniPath().toLocal8Bit().constData(), &now), 0);
        ASSERT_EQ(now.st_size, was.st_size) << "the values should keep the file's size";

        EXPECT_EQ(GetRegValue(records::kApp, theirs), after) << "round " << round << ": stale read";
        SaveRegValue(records::kApp, mine, 4000000 + round);
        std::map<std::string, std::string> raw;
        std::string bad;
        ASSERT_TRUE(records::parseStoreFile(fileBytes(), raw, bad)) << bad;
        EXPECT_EQ(raw["minstep44"], std::to_string(after))
            << "round " << round << ": our save put back the other game's older value";
        EXPECT_EQ(raw["minstep33"], std::to_string(4000000 + round));
        if (HasFailure()) break;
    }
}

// A lock file left behind by a crash, empty (a game that died before writing its process id
// into it) or not, holds up no later save: only a live holder's flock counts.
TEST_F(StoreProcesses, LockFileLeftByACrashHoldsNothingUp) {
    ASSERT_TRUE(QDir().mkpath(path_ + "/KORVANEL"));
    const QByteArray lock = (iniPath() + ".lock").toLocal8Bit();
    QFile empty(QString::fromLocal8Bit(lock));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    timespec old{};
    clock_gettime(CLOCK_REALTIME, &old);
    old.tv_sec -= 5;
    const timespec times[2] = {old, old};
    ASSERT_EQ(utimensat(AT_FDCWD, lock.constData(), times, 0), 0);

    int failures = 0;
    store::setErrorHandler([&failures] { ++failures; });
    const auto start = std::chrono::steady_clock::now();
    SaveRegValue(records::kApp, "MinStep33", 21);
    const auto took = std::chrono::steady_clock::now() - start;
    store::setErrorHandler({});
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(GetRegValue(records::kApp, "MinStep33"), 21);
    EXPECT_LT(took, std::chrono::milliseconds(300)) << "the save waited on a lock nobody holds";
}

// A save that holds the lock for longer than a lock file takes to look abandoned keeps it as
// long as it lives: another game's save waits for it instead of breaking in.
TEST_F(StoreProcesses, LockOfALiveSaveIsNeverBrokenInto) {
    ASSERT_TRUE(QDir().mkpath(path_ + "/KORVANEL"));
    QLockFile held(iniPath() + ".lock");  // the lock every save takes
    ASSERT_TRUE(held.tryLock(0));
    const Child child = spawnWriter({"set", path_.toStdString(), "MinStep44", "77"}, false);
    ASSERT_GT(child.pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    int status = 0;
    EXPECT_EQ(waitpid(child.pid, &status, WNOHANG), 0) << "the other save did not wait";
    EXPECT_EQ(GetRegValue(records::kApp, "MinStep44"), 0);
    held.unlock();
    ASSERT_EQ(waitpid(child.pid, &status, 0), child.pid);
    close(child.out);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(GetRegValue(records::kApp, "MinStep44"), 77);
}

// The race is widest where a save is quickest: on a memory file system a save takes a tenth of
// a millisecond, so two writers often share one. Elsewhere fsync keeps saves apart.
class Writers : public StoreProcesses, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
            fast_ = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tessle-race-XXXXXX"));
        }
        StoreProcesses::SetUp();
        if (fast_ && fast_->isValid()) useDirectory(fast_->path());
    }
    std::unique_ptr<QTemporaryDir> fast_;
};

// Several games saving at once: each writer's own names end with its last values, the shared
// name with somebody's last value, and no writer ever reads back an older value of its own.
TEST_P(Writers, SavingAtOnceLosesNoWritersValues) {
    const int writers = GetParam();
    const int rounds = static_cast<int>(envOr("TESSLE_RACE_ROUNDS", 1500));
    ASSERT_GE(rounds, records::kOwnNames + 1);
    ASSERT_LT(rounds, 100000);
    SaveRegValue(records::kApp, "Before", 1);  // the file exists before they start

    // The writers' common time origin (CLOCK_MONOTONIC is the same for every process), once
    // they have all had time to start.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long origin = now.tv_sec * 1000000000LL + now.tv_nsec + 300000000LL;
    std::vector<Child> children;
    for (int w = 0; w < writers; ++w) {
        children.push_back(
            spawnWriter({"race", path_.toStdString(), std::to_string(w), std::to_string(writers),
                         std::to_string(rounds), std::to_string(origin)},
                        true));
        ASSERT_GT(children.back().pid, 0);
    }
    for (const Child& c : children) close(c.in);  // the gate: all go at once
    for (const Child& c : children) {
        int status = 0;
        ASSERT_EQ(waitpid(c.pid, &status, 0), c.pid);
        close(c.out);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "writer status " << status << " (exit 2: it read back an older value of its own)";
    }

    std::map<std::string, std::string> raw;
    std::string bad;
    EXPECT_TRUE(records::parseStoreFile(fileBytes(), raw, bad))
        << "unreadable line '" << bad << "'";
    EXPECT_EQ(raw.size(), static_cast<size_t>(writers * records::kOwnNames + 2));
    EXPECT_EQ(GetRegValue(records::kApp, "Before"), 1);
    for (int w = 0; w < writers; ++w) {
        for (int n = 0; n < records::kOwnNames; ++n) {
            EXPECT_EQ(GetRegValue(records::kApp, records::ownName(w, n)),
                      records::ownValue(w, records::lastRoundOf(rounds, n)))
                << records::ownName(w, n);
        }
    }
    std::set<std::int32_t> lastShared;
    for (int w = 0; w < writers; ++w) {
        lastShared.insert(
            records::sharedValue(w, records::lastRoundOf(rounds, records::kOwnNames)));
    }
    EXPECT_EQ(lastShared.count(GetRegValue(records::kApp, records::kShared)), 1u);
    std::cout << writers << " writers x " << rounds << " saves each, in " << path_.toStdString()
              << "\n";
    RecordProperty("writers", writers);
    RecordProperty("rounds", rounds);
}

INSTANTIATE_TEST_SUITE_P(Counts, Writers, ::testing::Values(2, 4));

}  // namespace
