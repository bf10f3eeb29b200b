#pragma once

#include "sound/OutputMoves.h"

#include <utility>

// Hands out the moves the test says the server made.
struct FakeOutputMoves final : OutputMoves {
    void start() override {}
    void stop() override {}
    std::vector<SteadyTime> take() override { return std::exchange(seen, {}); }
    std::vector<SteadyTime> seen;
};
