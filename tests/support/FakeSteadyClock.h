#pragma once

#include "sound/SteadyClock.h"

// A clock that stands still but where the test sets it.
struct FakeSteadyClock final : SteadyClock {
    SteadyTime now() const override { return at; }
    SteadyTime at{std::chrono::hours(1)};
};
