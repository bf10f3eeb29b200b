#pragma once

#include "sound/SoundPlacement.h"

#include <cmath>
#include <cstdint>

// Notices sound a native PipeWire stream lost (or had dropped) behind its back: with every
// buffer the stream is told where the graph stands (its position and the delay to the device,
// less what the stream and its resampler still hold); against the frames written so far that
// stays put while the sound flows. A step of kMinStepFrames or more is sound held back (or
// dropped), and the map moves by it, but only where the graph's cycles came late: sound is lost
// only where a cycle went by without this stream's buffer (the program's thread or the server
// held up), and then the buffer after it comes a cycle or more after the one before. Where the
// stream makes up for it with a second buffer in the same cycle, that one comes a cycle early,
// and the standing steps back: the frames written ahead are no loss, and the map moves back as
// far. A step with the buffers on time is a changed report of the same sound: the graph laid out anew as
// another client comes or goes, the delay counted from elsewhere. It is taken as the new
// standing, and nothing moves.
//
// Feed it from the graph's thread; it neither allocates nor locks.
class GraphSlipDetector {
public:
    // Below this, a step between the graph's position and the frames written is the jitter of
    // the resampler's reports.
    static constexpr double kMinStepFrames = 44;
    // A buffer is late (or early) where it comes at least this part of the buffer before's
    // length after (or before) that was due: a lost cycle puts a whole one between them. A step
    // is believed as far as the lateness covers it, give or take as much, in its direction:
    // forward after a late buffer, back after an early one.
    static constexpr double kLateShare = 0.5;
    // The lateness is owed to a step for this many buffers after it showed, in case the step
    // is reported a cycle later.
    static constexpr int kLateBuffers = 2;

    // One buffer: where the graph stands against the frames written (in frames of the stream's
    // rate), the buffer's first frame, and the time of the graph's cycle it was asked for in (ns
    // on any steady clock; 0 where it is not known: a step is then believed). Returns the slip
    // noticed with it, with the first frame of the buffer before (the frames that slipped lie
    // after it); none (0) at the first.
    SoundPlacement::Slip feed(double graph, std::int64_t first, std::int64_t cycleNs);
    // What went before cannot have moved what follows (a new stream, a new map).
    void forget()
    {
        lastGraph_ = NAN;
        lastCycleNs_ = 0;
        sinceLate_ = kLateBuffers + 1;
        carry_ = 0;
    }

private:
    double lastGraph_ = NAN;
    std::int64_t lastFirst_ = 0;
    std::int64_t lastFrames_ = 0;    // the length of the buffer before
    std::int64_t lastCycleNs_ = 0;
    double lateFrames_ = 0;          // how late the latest late buffer came (below 0: early)
    int sinceLate_ = kLateBuffers + 1;
    double carry_ = 0;  // of the slips told, the fraction of a frame not told yet
};
