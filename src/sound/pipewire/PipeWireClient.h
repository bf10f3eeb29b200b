#pragma once

#include <cstdint>
#include <functional>

struct pw_thread_loop;
struct pw_context;
struct pw_core;

// A connection to the PipeWire server with a thread of its own, on which the events of the
// streams made on core() run (see PipeWireStream). Calls on those streams are made with the loop
// locked; the streams are destroyed before disconnect().
class PipeWireClient {
public:
    PipeWireClient();
    // False where no server answers; nothing is left running then.
    bool connect(const char* threadName);
    void disconnect();
    bool connected() const { return loop_ != nullptr; }

    pw_thread_loop* loop() const { return loop_; }
    pw_core* core() const { return core_; }
    void lock();
    void unlock();
    // With the loop locked: waits, at most `timeoutNs`, until `done` or `failed` holds, each
    // looked at again whenever the loop is signalled. True when `done` came.
    bool waitUntil(const std::function<bool()>& done, const std::function<bool()>& failed, std::int64_t timeoutNs);

private:
    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
};
