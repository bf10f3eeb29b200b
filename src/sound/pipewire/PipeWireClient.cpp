#include "sound/pipewire/PipeWireClient.h"

#include <pipewire/pipewire.h>

#include <ctime>
#include <mutex>

PipeWireClient::PipeWireClient()
{
    static std::once_flag initialized;
    std::call_once(initialized, [] { pw_init(nullptr, nullptr); });
}

bool PipeWireClient::connect(const char* threadName)
{
    loop_ = pw_thread_loop_new(threadName, nullptr);
    if (!loop_)
        return false;
    context_ = pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0);
    if (context_ && pw_thread_loop_start(loop_) == 0) {
        lock();
        core_ = pw_context_connect(context_, nullptr, 0);
        unlock();
    }
    if (!core_)
        disconnect();
    return core_ != nullptr;
}

void PipeWireClient::disconnect()
{
    if (!loop_)
        return;
    lock();
    if (core_)
        pw_core_disconnect(core_);
    core_ = nullptr;
    unlock();
    pw_thread_loop_stop(loop_);
    if (context_)
        pw_context_destroy(context_);
    context_ = nullptr;
    pw_thread_loop_destroy(loop_);
    loop_ = nullptr;
}

void PipeWireClient::lock()
{
    pw_thread_loop_lock(loop_);
}

void PipeWireClient::unlock()
{
    pw_thread_loop_unlock(loop_);
}

bool PipeWireClient::waitUntil(const std::function<bool()>& done, const std::function<bool()>& failed, std::int64_t timeoutNs)
{
    timespec deadline{};
    pw_thread_loop_get_time(loop_, &deadline, timeoutNs);
    while (!done())
        if (failed() || pw_thread_loop_timed_wait_full(loop_, &deadline) != 0)
            return false;
    return true;
}
