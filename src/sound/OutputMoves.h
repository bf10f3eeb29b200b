#pragma once

#include "sound/SteadyTime.h"

#include <vector>

// Tells when the sound server moves this process's playback to another output (headphones
// plugged in or out, a choice in the desktop's sound settings). It watches only between start()
// and stop().
class OutputMoves {
public:
    virtual ~OutputMoves() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    // When each move was seen since the last call, in order: a moment after the server made it.
    virtual std::vector<SteadyTime> take() = 0;
};
