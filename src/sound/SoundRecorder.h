#pragma once

#include "sound/SteadyTime.h"

#include <QByteArray>

#include <cmath>
#include <cstddef>
#include <optional>

// Records what the sound server plays or hears, into memory: 44100 Hz, 16-bit stereo,
// interleaved.
class SoundRecorder {
public:
    enum class Source {
        Speakers,    // what the computer sends to its default output (that output's monitor)
        Microphone,  // the default input
    };

    struct Recording {
        QByteArray sound;
        // From the microphone: what the computer sent to its speakers meanwhile, where it could
        // be recorded alongside, and how many seconds its first frame came after the sound's
        // (NaN: not known to within a sample).
        QByteArray speakers;
        double speakersOffsetSeconds = NAN;
    };

    virtual ~SoundRecorder() = default;

    // Starts recording; false when it cannot (no sound server, no such source).
    virtual bool start(Source source) = 0;
    // Ends it and returns what was recorded (at most kMaxSeconds); empty when none was running.
    virtual Recording stop() = 0;
    // While recording: a copy of the sound recorded so far from frame `frame` on, so that what is
    // heard can be shown as it comes; empty when there is none yet or nothing runs.
    virtual QByteArray recordedFrom(qsizetype frame) const = 0;
    // While recording: when its first frame reached the microphone (or left for the speakers),
    // on the steady clock, by the server's capture times; none where the server does not tell.
    virtual std::optional<SteadyTime> firstFrameCaptured() const { return std::nullopt; }

    // A whole trial at 2.4 s (146.4 s) with room to spare, from whenever a recording started.
    static constexpr int kMaxSeconds = 300;
};
