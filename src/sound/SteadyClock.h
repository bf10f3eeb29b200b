#pragma once

#include "sound/SteadyTime.h"

// The monotonic clock as the sound output reads it: how late a sound is asked for, and how long
// a stream's frame count has stood still. Safe to read from any thread.
class SteadyClock {
public:
    virtual ~SteadyClock() = default;
    virtual SteadyTime now() const = 0;
};
