// The hint's worker threads, as Qt and Win32 use them: the answer comes back only through the
// front-end's post, which the drawing thread runs.
#include "game/search_threads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

TEST(SearchThreads, TheAnswerComesBackThroughThePostFromAnotherThread) {
    std::mutex mutex;
    std::condition_variable posted;
    std::vector<SearchThreads::Task> queue;
    std::thread::id poster;
    SearchThreads threads([&](SearchThreads::Task task) {
        const std::lock_guard<std::mutex> lock(mutex);
        poster = std::this_thread::get_id();
        queue.push_back(std::move(task));
        posted.notify_one();
    });
    // Two moves from home: the blank must come back right, then down.
    const optimal::Position position{1, 2, 3, 4, 0, 5, 7, 8, 6};
    std::vector<int> found;
    int calls = 0;
    threads.start(position, std::make_shared<std::atomic<bool>>(false),
                  [&](const optimal::Answer& answer) {
                      ++calls;
                      found = answer.tiles;
                  });
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(posted.wait_for(lock, std::chrono::seconds(60), [&] { return !queue.empty(); }))
        << "no answer posted";
    EXPECT_NE(poster, std::this_thread::get_id());
    EXPECT_EQ(calls, 0) << "the answer is handed over only when the post runs";
    queue.front()();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(found, (std::vector<int>{5, 6}));
}

}  // namespace
