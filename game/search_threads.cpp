#include "game/search_threads.h"

#include <algorithm>
#include <utility>

SearchThreads::SearchThreads(std::function<void(Task)> post) : post_(std::move(post)) {}

SearchThreads::~SearchThreads() {
    for (Search& search : searches_) search.cancel->store(true);
    for (Search& search : searches_) search.thread.join();
}

void SearchThreads::start(optimal::Position position, std::shared_ptr<std::atomic<bool>> cancel,
                          std::function<void(const optimal::Answer&)> found) {
    reap();
    auto done = std::make_shared<std::atomic<bool>>(false);
    // The thread owns copies of everything it reads; post_ outlives it (joined in ~SearchThreads).
    std::thread thread(
        [this, position = std::move(position), cancel, done, found = std::move(found)]() mutable {
            const optimal::Answer answer = optimal::solve(position, cancel.get());
            post_([found = std::move(found), answer] { found(answer); });
            done->store(true);
        });
    searches_.push_back(Search{std::move(thread), std::move(cancel), std::move(done)});
}

void SearchThreads::prepare() {
    if (prepared_) return;
    prepared_ = true;
    std::thread([] { optimal::prepare(); }).detach();
}

void SearchThreads::reap() {
    const auto ended = std::stable_partition(searches_.begin(), searches_.end(),
                                             [](const Search& s) { return !s.done->load(); });
    for (auto it = ended; it != searches_.end(); ++it) it->thread.join();
    searches_.erase(ended, searches_.end());
}
