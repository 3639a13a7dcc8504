#include "settings/record_writer.h"

#include "game/app_info.h"
#include "settings/plain_io.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace store {

namespace {

// A request is one packet: "set NAME N". The longest valid one is far shorter.
constexpr std::size_t kMaxRequest = 64;
// Longer than a save may wait for the store lock, so a slow save is not taken for a dead writer;
// short enough that a game's close never freezes.
constexpr int kReplyWaitMs = 3000;
constexpr char kOk[] = "ok";
constexpr char kNo[] = "no";

struct ValueRule {
    const char* name;
    std::int32_t low, high;
    SaveRule save;
};
// What the game writes: records (99999 stands for "no record"), which only ever go down here so
// that no player can wipe or raise another's, and never below the fewest moves a deal can be
// won in, so that no one can claim a record no game could beat; and the picture choice.
constexpr ValueRule kRules[] = {
    {kMinStep33Value, kMinStep33Floor, 99999, SaveRule::kKeepLowerRecord},
    {kMinStep44Value, kMinStep44Floor, 99999, SaveRule::kKeepLowerRecord},
    {kPTypeValue, 1, 4, SaveRule::kAsAsked},
};

// The name, value and rule of a request the writer takes; false for anything else.
bool parseRequest(const char* data, std::size_t size, std::string& name, std::int32_t& value,
                  SaveRule& save, std::int32_t& floor) {
    const std::string request(data, size);
    if (request.compare(0, 4, "set ") != 0) return false;
    const std::size_t space = request.find(' ', 4);
    if (space == std::string::npos) return false;
    name = request.substr(4, space - 4);
    const std::string number = request.substr(space + 1);
    // Plain decimal as the game sends it: no sign, no leading zero, at most six digits.
    if (number.empty() || number.size() > 6 || number[0] == '0') return false;
    std::int32_t v = 0;
    for (const char c : number) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    for (const ValueRule& rule : kRules) {
        if (sameName(name, rule.name)) {
            value = v;
            save = rule.save;
            floor = rule.low;
            return v >= rule.low && v <= rule.high;
        }
    }
    return false;
}

[[noreturn]] void serve(int channel, pid_t game) {
    for (;;) {
        char request[kMaxRequest * 2];
        const ssize_t n = recv(channel, request, sizeof request, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) _exit(0);
        // Nothing read is the end of the channel, or an empty request (refused below).
        pollfd closed{channel, 0, 0};
        if (n == 0 && (poll(&closed, 1, 0) < 0 || (closed.revents & POLLHUP) != 0)) _exit(0);
        // A request that arrives after the game ended (another holder of the channel) is not
        // the game's: the writer ends with it.
        if (getppid() != game) _exit(0);
        std::string name;
        std::int32_t value = 0;
        SaveRule save = SaveRule::kAsAsked;
        std::int32_t floor = 1;
        const bool saved =
            static_cast<std::size_t>(n) <= kMaxRequest &&
            parseRequest(request, static_cast<std::size_t>(n), name, value, save, floor) &&
            saveToSharedFile(kRecordApp, name, value, save, floor);
        if (send(channel, saved ? kOk : kNo, 2, MSG_NOSIGNAL) != 2) _exit(0);
    }
}

// The writer's side of the fork: nothing of the game's environment, files or signal handling
// comes along, and it dies with the game.
[[noreturn]] void runWriter(int channel, pid_t game) {
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != game) _exit(0);
    prctl(PR_SET_NAME, "tessle-writer");
    // The channel goes to descriptor 3, the standard ones to /dev/null, every other one shut.
    const int high = fcntl(channel, F_DUPFD, 10);
    const int null = open("/dev/null", O_RDWR);
    if (high < 0 || null < 0) _exit(1);
    for (int fd = 0; fd <= 2; ++fd) {
        if (dup2(null, fd) != fd) _exit(1);
    }
    if (dup2(high, 3) != 3) _exit(1);
    if (close_range(4, ~0U, 0) != 0) {
        for (int fd = 4; fd < 65536; ++fd) close(fd);
    }
    // The strings too, not only the list: they stay in memory (and in /proc) otherwise.
    for (char** var = environ; var && *var; ++var) std::memset(*var, 0, std::strlen(*var));
    clearenv();
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) sigaction(sig, &dfl, nullptr);
    // The end of a session signals every process of it at once (and Ctrl+C the whole process
    // group): the writer stays to save the records the game writes as it closes, and goes when
    // the game does.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    for (const int sig : {SIGTERM, SIGHUP, SIGINT}) sigaction(sig, &ignore, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    serve(3, game);
}

enum class Channel { kNone, kOpen, kBroken };
Channel channelState = Channel::kNone;
int channelFd = -1;

void breakChannel() {
    close(channelFd);
    channelFd = -1;
    channelState = Channel::kBroken;
}

}  // namespace

RecordWriter startRecordWriter() {
    // Descriptors 0 to 2 in use, so the channel is never taken for a standard stream.
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) < 0 && open("/dev/null", O_RDWR) != fd) return {};
    }
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return {};
    const pid_t game = getpid();
    const pid_t pid = fork();
    if (pid == 0) runWriter(ends[1], game);
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return {};
    }
    return {pid, ends[0]};
}

void useRecordWriter(int fd) {
    channelFd = fd;
    channelState = fd >= 0 ? Channel::kOpen : Channel::kNone;
}

bool hasRecordWriter() {
    return channelState != Channel::kNone;
}

bool saveThroughRecordWriter(const std::string& AppName, const std::string& ValueName,
                             std::int32_t Value) {
    if (channelState != Channel::kOpen || AppName != kRecordApp) return false;
    const std::string request = "set " + ValueName + " " + std::to_string(Value);
    if (send(channelFd, request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size())) {
        breakChannel();
        return false;
    }
    pollfd ready{channelFd, POLLIN, 0};
    int polled;
    do {
        polled = poll(&ready, 1, kReplyWaitMs);
    } while (polled < 0 && errno == EINTR);
    char reply[8];
    const ssize_t n = polled > 0 ? recv(channelFd, reply, sizeof reply, 0) : -1;
    if (n == 2 && std::memcmp(reply, kOk, 2) == 0) return true;
    if (n == 2 && std::memcmp(reply, kNo, 2) == 0) return false;
    // No answer in time, or none at all: a late one would be taken for the next request's.
    breakChannel();
    return false;
}

}  // namespace store
