// The record writer: the only process of the installed game that holds the games group, so
// what it refuses is what a plugin inside the game cannot do to the shared store.
#include "settings/record_writer.h"
#include "settings/game_group.h"
#include "settings/settings_store.h"
#include "support/shared_store.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kWriterApp = store::kRecordApp;

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Sends one request and returns the answer; empty when the writer closed the channel or did
// not answer within five seconds.
std::string ask(int fd, const std::string& request) {
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) return {};
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, 5000) != 1) return {};
    char reply[16];
    const ssize_t n = recv(fd, reply, sizeof reply, 0);
    return n > 0 ? std::string(reply, static_cast<std::size_t>(n)) : std::string();
}

class RecordWriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string dir = (fs::temp_directory_path() / "tessle-writer-XXXXXX").string();
        ASSERT_NE(mkdtemp(dir.data()), nullptr);
        root_ = dir;
        previousDir_ = store::directory();
        store::setDirectory(root_);
        previousHandler_ = store::setErrorHandler([this] { ++failures_; });
    }

    void TearDown() override {
        store::useRecordWriter(-1);
        if (writer_.fd >= 0) close(writer_.fd);
        if (writer_.pid > 0) waitpid(writer_.pid, nullptr, 0);
        store::setErrorHandler(previousHandler_);
        store::setDirectory(previousDir_);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    void start() {
        writer_ = store::startRecordWriter();
        ASSERT_GE(writer_.fd, 0);
        ASSERT_GT(writer_.pid, 0);
    }

    std::string iniPath() const { return root_ + "/KORVANEL/" + kWriterApp + ".ini"; }
    std::string sparePath() const { return root_ + "/KORVANEL/" + spareName(kWriterApp); }

    // The store as the package makes it, holding `bytes`.
    void writeStore(const std::string& bytes) {
        ASSERT_TRUE(makeSharedStore(root_, kWriterApp));
        std::ofstream(iniPath(), std::ios::binary) << bytes;
    }

    std::string root_;
    store::RecordWriter writer_;
    int failures_ = 0;

  private:
    std::string previousDir_;
    store::ErrorHandler previousHandler_;
};

struct Refused {
    const char* why;
    std::string request;
};

// Everything but "set NAME N" for the game's own names within their ranges is refused and
// leaves the store as it was; the writer goes on serving afterwards.
TEST_F(RecordWriterTest, RefusesAllButTheGamesOwnValuesInRange) {
    const std::string before = "[General]\nMinStep33=40\nMinStep44=50\nPType=2\nOther=7\n";
    writeStore(before);
    start();
    const std::vector<Refused> refused = {
        {"unknown name", "set Other 3"},
        {"unknown name", "set MinStep55 10"},
        {"unknown name", "set PTypes 2"},
        {"unknown name", "set ../Tessle 1"},
        {"unknown name", "set MinStep33=1 1"},
        {"record 0", "set MinStep33 0"},
        {"below the fewest moves a 3 x 3 deal needs", "set MinStep33 3"},
        {"below the fewest moves a 4 x 4 deal needs", "set MinStep44 6"},
        {"record too large", "set MinStep33 100000"},
        {"record too large", "set MinStep44 999999"},
        {"record too large", "set MinStep44 4294967297"},
        {"picture 0", "set PType 0"},
        {"picture 5", "set ptype 5"},
        {"negative", "set PType -3"},
        {"sign", "set PType +3"},
        {"leading zero", "set PType 03"},
        {"not a number", "set PType 3x"},
        {"not a number", "set PType 0x3"},
        {"no value", "set PType "},
        {"no value", "set PType"},
        {"nothing", ""},
        {"verb only", "set"},
        {"other verb", "get PType 3"},
        {"verb case", "SET PType 3"},
        {"two spaces", "set  PType 3"},
        {"trailing space", "set PType 3 "},
        {"line break", "set PType 3\n"},
        {"two values", "set PType 3 4"},
        {"embedded NUL", std::string("set PType\0 3", 12)},
        {"oversized", "set PType 3" + std::string(300, ' ')},
    };
    for (const Refused& r : refused) {
        EXPECT_EQ(ask(writer_.fd, r.request), "no") << r.why << ": '" << r.request << "'";
        EXPECT_EQ(readFile(iniPath()), before) << r.why << ": '" << r.request << "'";
    }

    // A record only goes down: asking for a worse one (or 99999, "no record") keeps it, and
    // still counts as saved. The picture is stored as asked.
    const struct {
        std::string request, name;
        std::int32_t value;
    } taken[] = {{"set PType 4", "PTYPE", 4},
                 {"set PType 1", "PTYPE", 1},
                 {"set minstep33 41", "MinStep33", 40},
                 {"set minstep33 39", "MinStep33", 39},
                 {"set MINSTEP44 99999", "MinStep44", 50},
                 {"set MinStep44 7", "MinStep44", 7}};
    for (const auto& t : taken) {
        EXPECT_EQ(ask(writer_.fd, t.request), "ok") << t.request;
        EXPECT_EQ(GetRegValue(kWriterApp, t.name), t.value) << t.request;
    }
    EXPECT_EQ(GetRegValue(kWriterApp, "Other"), 7);
}

// A stored value that is no record (below the fewest moves a deal needs, negative, text) does
// not hold a new record up.
TEST_F(RecordWriterTest, ARecordReplacesAStoredValueThatIsNoRecord) {
    writeStore("[General]\nMinStep33=3\nMinStep44=-5\n");
    start();
    EXPECT_EQ(ask(writer_.fd, "set MinStep33 60"), "ok");
    EXPECT_EQ(ask(writer_.fd, "set MinStep44 70"), "ok");
    EXPECT_EQ(GetRegValue(kWriterApp, "MinStep33"), 60);
    EXPECT_EQ(GetRegValue(kWriterApp, "MinStep44"), 70);
}

// The writer never makes, follows or takes over a file of the store: the package's files are
// rewritten and swapped, and a store in any other state fails the save and stays as it is.
TEST_F(RecordWriterTest, SwapsThePackagesFilesAndTouchesNothingElse) {
    writeStore("[General]\nPType=2\n");
    struct stat before {};
    ASSERT_EQ(stat(iniPath().c_str(), &before), 0);
    start();
    ASSERT_EQ(ask(writer_.fd, "set PType 3"), "ok");
    struct stat store {
    }, spare{};
    ASSERT_EQ(stat(iniPath().c_str(), &store), 0);
    ASSERT_EQ(stat((iniPath() + store::kSpareSuffix).c_str(), &spare), 0);
    EXPECT_EQ(spare.st_ino, before.st_ino) << "the old store is the spare now";
    EXPECT_EQ(readFile(iniPath() + store::kSpareSuffix), "[General]\nPType=2\n");
    EXPECT_EQ(readFile(iniPath()), "[General]\nPType=3\n");
    EXPECT_EQ(store.st_mode & 07777, 0664u);

    const std::string folder = root_ + "/KORVANEL";
    const auto listing = [&] {
        std::string out;
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename());
        for (const std::string& n : names) {
            const std::string path = folder + "/" + n;
            out += n + ":" +
                   (fs::is_symlink(path)     ? "link"
                    : fs::is_directory(path) ? "dir"
                                             : readFile(path));
        }
        return out;
    };
    const struct {
        const char* why;
        std::function<void()> spoil;
    } spoiled[] = {
        {"no spare", [&] { fs::remove(iniPath() + store::kSpareSuffix); }},
        {"no lock", [&] { fs::remove(iniPath() + ".lock"); }},
        {"no store", [&] { fs::remove(iniPath()); }},
        {"store a link",
         [&] {
             fs::rename(iniPath(), folder + "/elsewhere");
             fs::create_symlink("elsewhere", iniPath());
         }},
        {"spare a link",
         [&] {
             fs::rename(iniPath() + store::kSpareSuffix, folder + "/elsewhere");
             fs::create_symlink("elsewhere", iniPath() + store::kSpareSuffix);
         }},
        {"spare a folder",
         [&] {
             fs::remove(iniPath() + store::kSpareSuffix);
             fs::create_directory(iniPath() + store::kSpareSuffix);
         }},
        {"store writable by all", [&] { chmod(iniPath().c_str(), 0666); }},
        {"folder writable by all", [&] { chmod(folder.c_str(), 0777); }},
        {"store too large", [&] { fs::resize_file(iniPath(), (1 << 20) + 1); }},
    };
    for (const auto& s : spoiled) {
        fs::remove_all(folder);
        writeStore("[General]\nPType=2\n");
        s.spoil();
        const std::string was = listing();
        EXPECT_EQ(ask(writer_.fd, "set PType 4"), "no") << s.why;
        EXPECT_EQ(listing(), was) << s.why;
    }
}

// Files of the store that a player owns (left by an older version, or anyone's but the
// folder owner's) are not followed.
TEST_F(RecordWriterTest, RefusesAStoreFileOfAnotherOwner) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give a file away";
    for (const std::string suffix : {"", ".lock", store::kSpareSuffix}) {
        fs::remove_all(root_ + "/KORVANEL");
        writeStore("[General]\nPType=2\n");
        ASSERT_EQ(chown((iniPath() + suffix).c_str(), 4321, 4321), 0);
        if (writer_.fd < 0) start();
        EXPECT_EQ(ask(writer_.fd, "set PType 4"), "no") << suffix;
        EXPECT_EQ(readFile(iniPath()), "[General]\nPType=2\n") << suffix;
    }
}

// The spare holds the store as it was two saves ago, which may be longer than the new text:
// none of its old text is left behind the new.
TEST_F(RecordWriterTest, ASpareLongerThanTheNewTextLeavesNoTail) {
    writeStore("[General]\nPType=2\n");
    std::ofstream(sparePath(), std::ios::binary | std::ios::trunc)
        << "[General]\nPType=2\nMinStep33=12345\nMinStep44=67890\n";
    start();
    ASSERT_EQ(ask(writer_.fd, "set PType 3"), "ok");
    EXPECT_EQ(readFile(iniPath()), "[General]\nPType=3\n");
}

// Two installed games closing at once: each writer holds the store lock while it saves, so
// neither swaps in a text that lacks the other's latest record.
TEST_F(RecordWriterTest, TwoWritersSavingAtOnceLoseNothing) {
    writeStore("");
    start();
    const store::RecordWriter other = store::startRecordWriter();
    ASSERT_GE(other.fd, 0);
    constexpr int kLast = 100, kFirst = kLast + 100;  // records any board could take
    // Each lowers its own record one by one and reads it back after every save.
    const auto lower = [](int fd, const std::string& name, int& lost) {
        for (int v = kFirst; v >= kLast; --v) {
            if (ask(fd, "set " + name + " " + std::to_string(v)) != "ok" ||
                GetRegValue(kWriterApp, name) != v) {
                ++lost;
            }
        }
    };
    int lost33 = 0, lost44 = 0;
    std::thread first(lower, writer_.fd, "MinStep33", std::ref(lost33));
    lower(other.fd, "MinStep44", lost44);
    first.join();
    close(other.fd);
    waitpid(other.pid, nullptr, 0);
    EXPECT_EQ(lost33, 0);
    EXPECT_EQ(lost44, 0);
    EXPECT_EQ(GetRegValue(kWriterApp, "MinStep33"), kLast);
    EXPECT_EQ(GetRegValue(kWriterApp, "MinStep44"), kLast);
}

// Logout signals every process of the session, Ctrl+C the whole process group: the writer
// outlives them all, to save what the closing game sends.
TEST_F(RecordWriterTest, OutlivesTheSignalsThatEndASession) {
    writeStore("");
    start();
    int picture = 1;
    ASSERT_EQ(ask(writer_.fd, "set PType 1"), "ok");  // set up and serving
    for (const int sig : {SIGTERM, SIGHUP, SIGINT}) {
        ASSERT_EQ(kill(writer_.pid, sig), 0);
        EXPECT_EQ(ask(writer_.fd, "set PType " + std::to_string(++picture)), "ok") << sig;
    }
    EXPECT_EQ(GetRegValue(kWriterApp, "PType"), picture);
}

// Passes a descriptor and a number over a Unix socket.
bool sendFd(int via, int fd, pid_t pid) {
    char control[CMSG_SPACE(sizeof(int))] = {};
    iovec data{&pid, sizeof pid};
    msghdr msg{};
    msg.msg_iov = &data;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = SOL_SOCKET;
    c->cmsg_type = SCM_RIGHTS;
    c->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(c), &fd, sizeof fd);
    return sendmsg(via, &msg, 0) == static_cast<ssize_t>(sizeof pid);
}

int receiveFd(int via, pid_t& pid) {
    char control[CMSG_SPACE(sizeof(int))] = {};
    iovec data{&pid, sizeof pid};
    msghdr msg{};
    msg.msg_iov = &data;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    if (recvmsg(via, &msg, 0) != static_cast<ssize_t>(sizeof pid)) return -1;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    if (!c || c->cmsg_type != SCM_RIGHTS) return -1;
    int fd = -1;
    std::memcpy(&fd, CMSG_DATA(c), sizeof fd);
    return fd;
}

// Code running in the game can pass the writer's channel to a process that outlives the game
// (a daemon it forks, another program). Once the game has ended the writer takes nothing more.
TEST_F(RecordWriterTest, RefusesRequestsAfterTheGameIsGone) {
    const std::string before = "[General]\nPType=2\n";
    writeStore(before);  // one the writer could save into
    int pass[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pass), 0);
    const pid_t game = fork();
    ASSERT_GE(game, 0);
    if (game == 0) {
        // The game: starts its writer, hands the channel on, and ends.
        close(pass[0]);
        const store::RecordWriter w = store::startRecordWriter();
        _exit(w.fd >= 0 && sendFd(pass[1], w.fd, w.pid) ? 0 : 1);
    }
    close(pass[1]);
    pid_t writerPid = -1;
    const int channel = receiveFd(pass[0], writerPid);
    close(pass[0]);
    int status = 0;
    ASSERT_EQ(waitpid(game, &status, 0), game);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_GE(channel, 0);

    EXPECT_NE(ask(channel, "set PType 3"), "ok");
    EXPECT_NE(ask(channel, "set MinStep33 5"), "ok");
    close(channel);
    EXPECT_EQ(readFile(iniPath()), before);
}

// The writer keeps the game group, so it must carry nothing of the game's: no environment a
// library could act on, no descriptor but its channel and /dev/null.
TEST_F(RecordWriterTest, CarriesNoEnvironmentAndNoOtherDescriptor) {
    ASSERT_EQ(setenv("QT_PLUGIN_PATH", root_.c_str(), 1), 0);
    const int inherited = open(root_.c_str(), O_RDONLY | O_DIRECTORY);  // without close-on-exec
    ASSERT_GE(inherited, 0);
    writeStore("");
    start();
    close(inherited);
    unsetenv("QT_PLUGIN_PATH");
    ASSERT_EQ(ask(writer_.fd, "set PType 1"), "ok");  // set up and serving

    const std::string proc = "/proc/" + std::to_string(writer_.pid);
    std::string environment = readFile(proc + "/environ");
    environment.erase(std::remove(environment.begin(), environment.end(), '\0'), environment.end());
    EXPECT_EQ(environment, "");
    std::set<std::string> fds;
    for (const auto& entry : fs::directory_iterator(proc + "/fd")) {
        const std::string target = fs::read_symlink(entry.path()).string();
        const std::string fd = entry.path().filename().string();
        fds.insert(fd);
        if (fd == "3") {
            EXPECT_EQ(target.rfind("socket:", 0), 0u) << target;
        } else {
            EXPECT_EQ(target, "/dev/null") << "descriptor " << fd;
        }
    }
    EXPECT_EQ(fds, (std::set<std::string>{"0", "1", "2", "3"}));
}

// The game's side: saves go through the writer, its refusals show the error box, and once the
// writer is gone every save fails instead of killing the game (SIGPIPE) or writing elsewhere.
TEST_F(RecordWriterTest, GameSavesThroughTheWriterAndReportsWhatItRefuses) {
    writeStore("");
    start();
    store::useRecordWriter(writer_.fd);
    SaveRegValue(kWriterApp, "PType", 3);
    EXPECT_EQ(failures_, 0);
    EXPECT_EQ(GetRegValue(kWriterApp, "PTYPE"), 3);

    SaveRegValue(kWriterApp, "PType", 7);
    SaveRegValue("Other", "PType", 2);
    EXPECT_EQ(failures_, 2);
    EXPECT_EQ(GetRegValue(kWriterApp, "PTYPE"), 3);
    EXPECT_FALSE(fs::exists(root_ + "/KORVANEL/Other.ini"));
    SaveRegValue(kWriterApp, "PType", 4);  // a refusal leaves the writer serving
    EXPECT_EQ(failures_, 2);
    EXPECT_EQ(GetRegValue(kWriterApp, "PTYPE"), 4);

    ASSERT_EQ(kill(writer_.pid, SIGKILL), 0);
    ASSERT_EQ(waitpid(writer_.pid, nullptr, 0), writer_.pid);
    writer_.pid = -1;
    SaveRegValue(kWriterApp, "PType", 2);
    SaveRegValue(kWriterApp, "PType", 2);
    EXPECT_EQ(failures_, 4);
    EXPECT_EQ(GetRegValue(kWriterApp, "PTYPE"), 4);
}

// A setgid game as root can play it: started with real group 0 and effective and saved group
// G, start-up must leave the game with 0 everywhere and the writer with G, which alone may
// write the package's files of group G (0664: the game, whose groups are 0, could not).
TEST_F(RecordWriterTest, StartUpLeavesTheGroupToTheWriterAlone) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to change groups";
    constexpr gid_t kGame = 4242;
    writeStore("");
    for (const std::string suffix : {"", ".lock", store::kSpareSuffix}) {
        ASSERT_EQ(chown((iniPath() + suffix).c_str(), 0, kGame), 0);
    }
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t game = fork();
    ASSERT_GE(game, 0);
    if (game == 0) {
        close(report[0]);
        if (setresgid(0, kGame, kGame) != 0) _exit(2);
        store::dropGameGroup();
        gid_t ids[3] = {1, 1, 1};
        getresgid(&ids[0], &ids[1], &ids[2]);
        int failures = 0;
        store::setErrorHandler([&failures] { ++failures; });
        SaveRegValue(kWriterApp, "PType", 2);
        const int out[4] = {static_cast<int>(ids[0]), static_cast<int>(ids[1]),
                            static_cast<int>(ids[2]), failures};
        _exit(write(report[1], out, sizeof out) == sizeof out ? 0 : 3);
    }
    close(report[1]);
    int got[4] = {-1, -1, -1, -1};
    const ssize_t n = read(report[0], got, sizeof got);
    close(report[0]);
    int status = 0;
    ASSERT_EQ(waitpid(game, &status, 0), game);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ASSERT_EQ(n, static_cast<ssize_t>(sizeof got));
    EXPECT_EQ(got[0], 0);
    EXPECT_EQ(got[1], 0);
    EXPECT_EQ(got[2], 0);
    EXPECT_EQ(got[3], 0) << "the save failed";
    struct stat st {};
    ASSERT_EQ(stat(iniPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u);
    EXPECT_EQ(st.st_gid, kGame);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_EQ(GetRegValue(kWriterApp, "PType"), 2);
}

}  // namespace
