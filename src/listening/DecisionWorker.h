#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Runs jobs one after another on a thread of its own, so that hearing an answer (which may take
// a good part of a second) never holds up the window's thread, where the examiner's keys are
// timed. Without a thread (for the tests) each job runs as it is given. The destructor waits
// for the job running, if any, and drops those not begun.
class DecisionWorker {
public:
    explicit DecisionWorker(bool threaded);
    ~DecisionWorker();
    DecisionWorker(const DecisionWorker&) = delete;
    DecisionWorker& operator=(const DecisionWorker&) = delete;

    void run(std::function<void()> job);
    bool threaded() const { return thread_.joinable(); }

private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool ending_ = false;
    std::thread thread_;
};
