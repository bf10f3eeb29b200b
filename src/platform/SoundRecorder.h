#pragma once

#include <QByteArray>

// Records what the sound server plays or hears, into memory: 44100 Hz, 16-bit stereo,
// interleaved.
class SoundRecorder {
public:
    enum class Source {
        Speakers,    // what the computer sends to its default output (that output's monitor)
        Microphone,  // the default input
    };
    virtual ~SoundRecorder() = default;

    // Starts recording; false when it cannot (no sound server, no such source).
    virtual bool start(Source source) = 0;
    // Ends it and returns what was recorded (at most kMaxSeconds); empty when none was running.
    virtual QByteArray stop() = 0;

    static constexpr int kMaxSeconds = 120;
};
