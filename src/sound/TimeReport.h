#pragma once

#include <cmath>
#include <cstdint>

// What an output stream was told of its time with one buffer, and what it made of it: kept by
// the backends in a TimeReportRing, for the benches to read back when a run went wrong. Fields a
// backend has no use for stay at their defaults.
struct TimeReport {
    std::int64_t steadyNs = 0;  // the steady clock when the buffer was asked for
    std::int64_t first = 0;     // the buffer's first frame: frames rendered before it
    std::uint32_t frames = 0;   // frames rendered into it
    std::int64_t slip = 0;      // the verdict: frames the map was moved by with it (0: none)

    // A native PipeWire stream's pw_time, and where the graph stood against the frames written.
    std::int64_t now = 0;       // ns, monotonic
    std::uint64_t ticks = 0;
    std::int64_t delay = 0;     // ticks
    std::uint64_t queued = 0;   // bytes
    std::uint64_t buffered = 0; // frames in the resampler
    std::uint32_t rateNum = 0, rateDenom = 0;
    double graph = NAN;         // frames

    // PortAudio's: when the buffer was asked for and when its first frame is heard, in frames of
    // the stream's rate, and whether an underflow was told with it.
    double calledAt = 0, heardAt = 0;
    bool underflowed = false;
};
