#pragma once

#include "sound/SteadyClock.h"

// The system's monotonic clock, the one the pacing timers give their due times on.
class MonotonicClock final : public SteadyClock {
public:
    SteadyTime now() const override { return std::chrono::steady_clock::now(); }
};
