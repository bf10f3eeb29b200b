#pragma once

#include "sound/SoundPlacement.h"

#include <cmath>
#include <cstdint>

// Notices sound a native PipeWire stream lost (or had dropped) behind its back: with every
// buffer the stream is told where the graph stands (its position and the delay to the device,
// less what the stream and its resampler still hold); against the frames written so far that
// stays put while the sound flows. A step of kMinStepFrames or more is sound held back (or
// dropped): the map moves by it.
//
// Feed it from the graph's thread; it neither allocates nor locks.
class GraphSlipDetector {
public:
    // Below this, a step between the graph's position and the frames written is the jitter of
    // the resampler's reports.
    static constexpr double kMinStepFrames = 44;

    // One buffer: where the graph stands against the frames written (in frames of the stream's
    // rate), and the buffer's first frame. Returns the slip noticed with it, with the first
    // frame of the buffer before (the frames that slipped lie after it); none (0) at the first.
    SoundPlacement::Slip feed(double graph, std::int64_t first);
    // What went before cannot have moved what follows (a new stream, a new map).
    void forget() { lastGraph_ = NAN; }

private:
    double lastGraph_ = NAN;
    std::int64_t lastFirst_ = 0;
};
