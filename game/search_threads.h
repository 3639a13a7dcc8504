#pragma once

#include "solver/optimal_solver.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// Frontend::SearchHint for a toolkit with threads (Qt, Win32): each search runs on a thread of
// its own, and its answer is handed to `post`, which must be safe to call from any thread and
// run what it is given on the drawing thread (through forward).
class SearchThreads {
  public:
    using Task = std::function<void()>;
    explicit SearchThreads(std::function<void(Task)> post);
    // Cancels the searches still running and waits for them: nothing is posted afterwards.
    ~SearchThreads();
    SearchThreads(const SearchThreads&) = delete;
    SearchThreads& operator=(const SearchThreads&) = delete;

    void start(optimal::Position position, std::shared_ptr<std::atomic<bool>> cancel,
               std::function<void(const optimal::Answer&)> found);
    // optimal::prepare() on a thread of its own, once. It cannot be cancelled and touches only
    // the solver's tables, which live to the end of the process: it is left to run, so closing
    // the game never waits for it.
    void prepare();

  private:
    struct Search {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancel;
        std::shared_ptr<std::atomic<bool>> done;
    };
    // Joins the threads whose search has ended, so finished ones do not pile up.
    void reap();

    std::function<void(Task)> post_;
    std::vector<Search> searches_;
    bool prepared_ = false;
};
