#include "listening/DecisionWorker.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

DecisionWorker::DecisionWorker(bool threaded)
{
    if (threaded)
        thread_ = std::thread(&DecisionWorker::work, this);
}

DecisionWorker::~DecisionWorker()
{
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void DecisionWorker::run(std::function<void()> job)
{
    if (!thread_.joinable()) {
        job();
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

// Below the window's thread and the sound's: hearing an answer may wait, a digit may not.
void DecisionWorker::work()
{
    setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), 10);
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
            if (ending_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}
