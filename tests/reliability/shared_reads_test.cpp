// Readers of the installed game's shared store during saves: the store and its spare swap with
// every save, so a reader may hold the file that the next save rewrites. It must still never
// read a store without its values.
#include "settings/record_writer.h"
#include "settings/settings_store.h"
#include "support/shared_store.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(SharedStoreReads, NeverSeeAnEmptyStoreDuringSaves) {
    // Memory, where saves are fast enough to meet readers often; a disk when there is none.
    const fs::path base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : fs::temp_directory_path();
    const fs::path dir = base / ("tessle-reads-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string previous = store::directory();
    store::setDirectory(dir.string());
    ASSERT_TRUE(makeSharedStore(dir.string(), "Tessle", "[General]\nPType=1\n"));

    constexpr int kSaves = 10000;
    const pid_t saver = fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
        // Values of two text lengths, so that a read of a rewrite in progress could tell.
        for (int i = 0; i < kSaves; ++i) {
            if (!store::saveToSharedFile("Tessle", "MinStep44", i % 2 ? 7 : 12345,
                                         store::SaveRule::kAsAsked)) {
                _exit(1);
            }
        }
        _exit(0);
    }
    int reads = 0, empty = 0;
    int status = 0;
    while (waitpid(saver, &status, WNOHANG) == 0 || reads < kSaves) {
        // PType is never saved here: any read without it caught the store half-made.
        if (GetRegValue("Tessle", "PType") != 1) ++empty;
        ++reads;
    }
    store::setDirectory(previous);
    fs::remove_all(dir);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
    EXPECT_EQ(empty, 0) << "of " << reads << " reads";
}

}  // namespace
