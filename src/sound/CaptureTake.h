#pragma once

#include "sound/SoundFormat.h"
#include "sound/SteadyTime.h"

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// One capture stream's recording, written by its audio thread without locks or allocation:
// 44100 Hz, 16-bit stereo, interleaved, at most a fixed length. Each buffer comes with the time,
// on its stream's clock, at which its first frame was captured; where the recording's first
// frame lies on that clock is the median of what the buffers say, so that one late or early
// report cannot move it.
class CaptureTake {
public:

    // Makes room for `seconds` and forgets what was recorded.
    void reset(int seconds);
    // From the audio thread: `frames` frames (silence when `samples` is null), the first of them
    // captured at `seconds`, and, where the server tells it, at `capturedNs` on the steady clock
    // (nanoseconds since its epoch). False once the recording is full.
    static constexpr std::int64_t kNotTold = INT64_MIN;
    bool append(const std::int16_t* samples, std::size_t frames, double seconds, std::int64_t capturedNs = kNotTold);
    // The recording so far; frees the room.
    QByteArray take();
    // A copy of what was recorded from frame `from` on, while the audio thread goes on writing:
    // the frames counted have been written whole.
    QByteArray copyFrom(std::size_t from) const;
    // Where the first frame lies on the stream's clock; NaN when no buffer said.
    double firstFrameSeconds() const;
    // When the first frame reached the microphone, on the steady clock, by the median of what the
    // buffers said; none where none did. May be asked while the audio thread goes on.
    std::optional<SteadyTime> firstFrameCaptured() const;

private:
    // Left uninitialised: only the pages written to are ever taken from the system, so that room
    // for minutes costs what has been recorded.
    std::unique_ptr<std::int16_t[]> samples_;
    std::size_t capacity_ = 0;  // in frames
    std::atomic<std::size_t> frames_{0};
    std::vector<double> starts_;  // by buffer: its time less the frames before it
    std::atomic<std::size_t> startCount_{0};
    std::vector<std::int64_t> captures_;  // by buffer: its steady capture time less the frames before it
    std::atomic<std::size_t> captureCount_{0};
};
