#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kApp = "Tessle";

std::string lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::string trimmed(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// Every test gets its own empty store below a fresh temporary folder, and counts the write
// failures the store reports.
class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string dir = (fs::temp_directory_path() / "tessle-store-XXXXXX").string();
        ASSERT_NE(mkdtemp(dir.data()), nullptr);
        root_ = dir;
        previousDir_ = store::directory();
        useStoreDir(root_ + "/store");
        previousHandler_ = store::setErrorHandler([this] { ++failures_; });
    }

    void TearDown() override {
        store::setErrorHandler(previousHandler_);
        store::setDirectory(previousDir_);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    void useStoreDir(const std::string& dir) {
        storeDir_ = dir;
        store::setDirectory(dir);
    }

    std::string vendorDir() const { return storeDir_ + "/KORVANEL"; }
    std::string iniPath(const std::string& app = kApp) const {
        return vendorDir() + "/" + app + ".ini";
    }

    static void writeFile(const std::string& path, const std::string& bytes) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(f.good()) << path;
    }

    static std::string readFile(const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

    // Lines of the store file that hold `name`, spelled in any case.
    std::vector<std::string> linesFor(const std::string& name, const std::string& app = kApp) {
        std::vector<std::string> found;
        const std::string text = readFile(iniPath(app));
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            const std::string line = trimmed(text.substr(start, end - start));
            if (lower(line).rfind(lower(name) + "=", 0) == 0) found.push_back(line);
            start = end + 1;
        }
        return found;
    }

    std::set<std::string> filesUnderRoot() const {
        std::set<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(root_)) {
            if (!entry.is_directory()) files.insert(entry.path().string());
        }
        return files;
    }

    std::string root_;
    std::string storeDir_;
    int failures_ = 0;

  private:
    std::string previousDir_;
    store::ErrorHandler previousHandler_;
};

TEST_F(StoreTest, MissingStoreFileOrValueReadsAsZero) {
    EXPECT_EQ(GetRegValue(kApp, "PType"), 0) << "no store folder";
    ASSERT_TRUE(fs::create_directories(vendorDir()));
    EXPECT_EQ(GetRegValue(kApp, "PType"), 0) << "no file";
    SaveRegValue(kApp, "MinStep33", 12);
    EXPECT_EQ(GetRegValue(kApp, "PType"), 0) << "file without that value";
    EXPECT_EQ(failures_, 0);
}

class RoundTrip : public StoreTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(RoundTrip, ValueReadsBackAndIsStoredAsDecimalText) {
    const std::int32_t value = GetParam();
    SaveRegValue(kApp, "PType", value);
    EXPECT_EQ(failures_, 0);
    EXPECT_EQ(GetRegValue(kApp, "PType"), value);
    EXPECT_EQ(linesFor("PType"), std::vector<std::string>{"PType=" + std::to_string(value)});
}

INSTANTIATE_TEST_SUITE_P(Values, RoundTrip,
                         ::testing::Values(57, 0, 1, -1, std::numeric_limits<std::int32_t>::min(),
                                           std::numeric_limits<std::int32_t>::max()));

TEST_F(StoreTest, LaterWriteReplacesTheValue) {
    SaveRegValue(kApp, "MinStep44", 90);
    SaveRegValue(kApp, "MinStep44", 45);
    EXPECT_EQ(GetRegValue(kApp, "MinStep44"), 45);
    EXPECT_EQ(linesFor("MinStep44").size(), 1);
}

TEST_F(StoreTest, NamesMatchWithoutRegardToCase) {
    SaveRegValue(kApp, "PType", 3);
    EXPECT_EQ(GetRegValue(kApp, "PTYPE"), 3);
    EXPECT_EQ(GetRegValue(kApp, "ptype"), 3);

    SaveRegValue(kApp, "PTYPE", 5);
    EXPECT_EQ(GetRegValue(kApp, "PType"), 5);
    EXPECT_EQ(GetRegValue(kApp, "pTyPe"), 5);
    EXPECT_EQ(linesFor("ptype").size(), 1) << readFile(iniPath());
    EXPECT_EQ(failures_, 0);

    // Repeats one after another (as a hand edit leaves them) all go: only the first is read.
    writeFile(iniPath(), "[General]\nPType=1\nptype=2\nPTYPE=3\n[Other]\nptype=9\n");
    SaveRegValue(kApp, "PTYPE", 4);
    EXPECT_EQ(readFile(iniPath()), "[General]\nPType=4\n[Other]\nptype=9\n");
}

TEST_F(StoreTest, SavingCreatesMissingFolders) {
    useStoreDir(root_ + "/not/there/yet");
    SaveRegValue(kApp, "PType", 44);
    EXPECT_EQ(failures_, 0);
    EXPECT_TRUE(fs::is_regular_file(iniPath()));
    EXPECT_EQ(GetRegValue(kApp, "PType"), 44);
}

// Every user's game reads the store, and the group's writers lock and replace it, whatever
// umask the user who happened to save first had.
TEST_F(StoreTest, FilesAreSharedWithTheGroupWhateverTheUmask) {
    const mode_t previous = umask(077);
    SaveRegValue(kApp, "PType", 2);
    umask(previous);
    EXPECT_EQ(failures_, 0);
    const std::pair<std::string, mode_t> expected[] = {
        {vendorDir(), 0775}, {iniPath(), 0664}, {iniPath() + ".lock", 0660}};
    for (const auto& [path, mode] : expected) {
        struct stat st {};
        ASSERT_EQ(stat(path.c_str(), &st), 0) << path;
        EXPECT_EQ(st.st_mode & 07777, mode) << path;
    }
}

TEST_F(StoreTest, ValuesOfOneApplicationStayInIt) {
    SaveRegValue("Alpha", "PType", 1);
    SaveRegValue("Beta", "PType", 2);
    SaveRegValue("Alpha", "OnlyAlpha", 7);
    EXPECT_EQ(GetRegValue("Alpha", "PType"), 1);
    EXPECT_EQ(GetRegValue("Beta", "PType"), 2);
    EXPECT_EQ(GetRegValue("Beta", "OnlyAlpha"), 0);
    EXPECT_EQ(GetRegValue("Gamma", "PType"), 0);
    EXPECT_EQ(failures_, 0);
}

// Ways the store can be unwritable even for root.
enum class Blocker { kVendorFolderIsAFile, kStoreFileIsAFolder, kStoreFileIsALink };

class FailedWrite : public StoreTest, public ::testing::WithParamInterface<Blocker> {};

TEST_P(FailedWrite, ReportsOncePerValueAndReadsAsZero) {
    const std::string elsewhere = root_ + "/elsewhere.ini";
    const std::string linked = "[General]\nPType=2\nOther=5\n";
    if (GetParam() == Blocker::kVendorFolderIsAFile) {
        writeFile(vendorDir(), "not a folder");
    } else if (GetParam() == Blocker::kStoreFileIsAFolder) {
        ASSERT_TRUE(fs::create_directories(iniPath()));
    } else {
        // Not followed, and not taken for an empty store to be replaced either.
        writeFile(elsewhere, linked);
        fs::create_directories(vendorDir());
        fs::create_symlink(elsewhere, iniPath());
    }

    const std::vector<std::pair<std::string, std::int32_t>> writes = {
        {"MinStep33", 20}, {"MinStep44", 80}, {"PType", 44}};
    int expectedFailures = 0;
    for (const auto& [name, value] : writes) {
        SaveRegValue(kApp, name, value);
        EXPECT_EQ(failures_, ++expectedFailures) << name;
        EXPECT_EQ(GetRegValue(kApp, name), 0) << name;
    }
    // Whatever blocked the store is left alone.
    if (GetParam() == Blocker::kVendorFolderIsAFile) {
        EXPECT_EQ(readFile(vendorDir()), "not a folder");
    } else if (GetParam() == Blocker::kStoreFileIsAFolder) {
        EXPECT_TRUE(fs::is_directory(iniPath()));
    } else {
        EXPECT_TRUE(fs::is_symlink(iniPath()));
        EXPECT_EQ(readFile(elsewhere), linked);
    }
}

INSTANTIATE_TEST_SUITE_P(Blockers, FailedWrite,
                         ::testing::Values(Blocker::kVendorFolderIsAFile,
                                           Blocker::kStoreFileIsAFolder,
                                           Blocker::kStoreFileIsALink));

TEST_F(StoreTest, InvalidApplicationNamesAreRefused) {
    const std::vector<std::string> names = {"", "..", "a/b", "a\\b", "../escape"};
    // Files that a store which took these names as paths would read or overwrite.
    const std::string planted = "[General]\nPType=7\n";
    const std::vector<std::string> decoys = {vendorDir() + "/.ini",     vendorDir() + "/...ini",
                                             vendorDir() + "/a/b.ini",  vendorDir() + "/a\\b.ini",
                                             storeDir_ + "/escape.ini", root_ + "/escape.ini"};
    for (const std::string& path : decoys) writeFile(path, planted);
    const std::set<std::string> before = filesUnderRoot();

    int expectedFailures = 0;
    for (const std::string& name : names) {
        SaveRegValue(name, "PType", 9);
        EXPECT_EQ(failures_, ++expectedFailures) << "'" << name << "'";
        EXPECT_EQ(GetRegValue(name, "PType"), 0) << "'" << name << "'";
    }
    EXPECT_EQ(filesUnderRoot(), before);
    for (const std::string& path : decoys) {
        EXPECT_EQ(readFile(path), planted) << path;
    }
}

struct CorruptCase {
    const char* label;
    std::string contents;
};

void PrintTo(const CorruptCase& c, std::ostream* os) {
    *os << c.label;
}

class CorruptFile : public StoreTest, public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptFile, ReadsAsZeroAndCanBeWrittenAgain) {
    writeFile(iniPath(), GetParam().contents);
    EXPECT_EQ(GetRegValue(kApp, "PType"), 0);
    EXPECT_EQ(GetRegValue(kApp, "MinStep33"), 0);
    EXPECT_EQ(failures_, 0);

    SaveRegValue(kApp, "PType", 33);
    SaveRegValue(kApp, "MinStep33", 17);
    EXPECT_EQ(failures_, 0);
    EXPECT_EQ(GetRegValue(kApp, "PType"), 33);
    EXPECT_EQ(GetRegValue(kApp, "MinStep33"), 17);
}

std::string randomBytes(unsigned seed, int n) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out;
    for (int i = 0; i < n; ++i) out.push_back(static_cast<char>(byte(gen)));
    return out;
}

std::string withValue(const char* text) {
    return std::string("[General]\nPType=") + text + "\nMinStep33=" + text + "\n";
}

const char kGarbage[] = "\x00\xFF\xFE[General]\x00PType=\xFF\x00\x01\nMinStep33\x00=\x7F\n";

std::vector<CorruptCase> corruptCases() {
    return {
        {"RandomBytes", randomBytes(1, 512)},
        {"MoreRandomBytes", randomBytes(2, 4096)},
        {"BinaryGarbage", std::string(kGarbage, sizeof kGarbage - 1)},
        {"TruncatedKey", "[General]\nMinStep4=1\nPTy"},
        {"TruncatedSection", "[Gener"},
        {"TruncatedAfterEquals", "[General]\nMinStep33=\nPType="},
        {"Letters", withValue("abc")},
        {"Fraction", withValue("1.5")},
        {"TooLarge", withValue("99999999999")},
        {"JustBeyond32Bits", withValue("2147483648")},
        {"WrapsTo32BitOne", withValue("4294967297")},
        {"TooSmall", withValue("-99999999999")},
        {"Empty", withValue("")},
        {"InvalidVariant", withValue("@Invalid()")},
        {"List", withValue("1,2")},
        {"HexText", withValue("0x10")},
    };
}

INSTANTIATE_TEST_SUITE_P(Contents, CorruptFile, ::testing::ValuesIn(corruptCases()),
                         [](const ::testing::TestParamInfo<CorruptCase>& info) {
                             return std::string(info.param.label);
                         });

// An older build removed or replaced the lock file while a save waited for it: the save takes
// the lock of the file that is there once it has the old one, waiting for its holder, and
// makes it again when it is gone.
TEST_F(StoreTest, ASaveLocksTheLockFileThatIsThereNow) {
    using namespace std::chrono_literals;
    SaveRegValue(kApp, "Value", 1);
    const std::string lock = iniPath() + ".lock";
    for (const bool replaced : {true, false}) {
        const int old = open(lock.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(old, 0);
        ASSERT_EQ(flock(old, LOCK_EX), 0);
        const std::int32_t was = GetRegValue(kApp, "Value");
        std::thread save([was] { SaveRegValue(kApp, "Value", was + 1); });
        std::this_thread::sleep_for(50ms);  // the save waits on the old file
        int held = -1;
        if (replaced) {
            writeFile(lock + ".next", "");
            held = open((lock + ".next").c_str(), O_RDONLY | O_CLOEXEC);
            EXPECT_EQ(flock(held, LOCK_EX), 0);
            EXPECT_EQ(rename((lock + ".next").c_str(), lock.c_str()), 0);
        } else {
            EXPECT_EQ(unlink(lock.c_str()), 0);
        }
        close(old);
        if (replaced) {
            std::this_thread::sleep_for(200ms);
            EXPECT_EQ(GetRegValue(kApp, "Value"), was) << "saved while another held the lock";
            close(held);
        }
        save.join();
        EXPECT_EQ(GetRegValue(kApp, "Value"), was + 1) << "replaced: " << replaced;
        EXPECT_TRUE(fs::is_regular_file(lock)) << "replaced: " << replaced;
    }
    EXPECT_EQ(failures_, 0);
}

// Several running games saving at once must not lose one another's values. Each writer owns
// its names; the last value it wrote for each must be in the file when all are done.
TEST_F(StoreTest, ConcurrentWritersKeepEachOthersValues) {
    constexpr int kWriters = 3, kNames = 3, kRounds = 80;
    const auto nameOf = [](int writer, int n) {
        return "W" + std::to_string(writer) + "N" + std::to_string(n);
    };
    const auto valueOf = [](int writer, int round, int n) {
        return writer * 1000000 + round * 10 + n;
    };
    SaveRegValue(kApp, "Seed", 1);  // the file exists before the writers start

    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // Child: no gtest here, only an exit status.
            close(gate[1]);
            char c;
            while (read(gate[0], &c, 1) > 0) {
            }
            static int childFailures = 0;
            store::setErrorHandler([] { ++childFailures; });
            for (int r = 0; r < kRounds; ++r) {
                for (int n = 0; n < kNames; ++n) SaveRegValue(kApp, nameOf(w, n), valueOf(w, r, n));
            }
            _exit(childFailures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    // Closing the gate's write end lets every writer go at the same moment.
    close(gate[0]);
    close(gate[1]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer status " << status;
    }

    std::size_t lines = 0;
    const std::string text = readFile(iniPath());
    for (std::size_t at = text.find('='); at != std::string::npos; at = text.find('=', at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, static_cast<std::size_t>(kWriters * kNames + 1)) << text;
    EXPECT_EQ(GetRegValue(kApp, "Seed"), 1);
    for (int w = 0; w < kWriters; ++w) {
        for (int n = 0; n < kNames; ++n) {
            EXPECT_EQ(GetRegValue(kApp, nameOf(w, n)), valueOf(w, kRounds - 1, n)) << nameOf(w, n);
        }
    }
}

}  // namespace
