#pragma once

#include <chrono>
#include <optional>

// The due time of the timer tick being delivered, so that what a tick handler starts can be
// placed on the tick's ideal grid rather than at the moment the handler happened to run.
using SteadyTime = std::chrono::steady_clock::time_point;

// Set while a HiTime delivers a tick; nothing outside one.
std::optional<SteadyTime> currentTickDue();

// Marks a tick as being delivered for its lifetime.
class TickScope {
public:
    explicit TickScope(SteadyTime due);
    ~TickScope();
    TickScope(const TickScope&) = delete;
    TickScope& operator=(const TickScope&) = delete;

private:
    std::optional<SteadyTime> outer_;
};
