#pragma once

#include "platform/SoundOutput.h"
#include "platform/SoundPlacement.h"

// A sound output of the real sound server, which places its sounds with a SoundPlacement: what
// the placement did and how the stream was laid out can be read, for the benchmarks.
class PlacedOutput : public SoundOutput {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    // A stream that cannot be opened is tried again only after this long.
    static constexpr std::chrono::milliseconds kRetryInterval{2000};
    // A stream whose frame count has not moved for this long has stopped.
    static constexpr std::chrono::milliseconds kStallLimit{500};

    virtual const SoundPlacement& placement() const = 0;
    // The stream's own latency estimate in seconds, once open.
    virtual double streamLatency() const = 0;
};
