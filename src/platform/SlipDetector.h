#pragma once

#include <array>
#include <cstdint>

// Notices frames that the sound server inserted or dropped behind a stream's back when the stream
// underran: its buffers came late because the thread that renders them was held up. The stream
// counts the frames it renders, and with each buffer the server says when that buffer will be
// heard. While nothing slips, heard time minus counted time stays put, but for the jitter of the
// server's delay reports and the slow drift of the device's clock. A step between the medians of
// two successive windows of buffers, of at least kMinSlip, is a slip if, around it, a buffer was
// asked for more than kLateCall after the one before. Through PipeWire's PulseAudio service the
// reported delay wanders by up to 15 ms while nothing slips and every buffer comes in time
// (through its ALSA plugin by ±0.6 ms, on PulseAudio by less): without a late buffer, a step is
// not believed.
//
// Feed it from the thread that renders the buffers; it neither allocates nor locks.
class SlipDetector {
public:
    static constexpr int kWindow = 32;         // buffers: about 190 ms of 256-frame buffers
    static constexpr double kMinSlip = 221;    // frames: 5 ms at 44.1 kHz
    static constexpr double kLateCall = 1764;  // frames: 40 ms, twice the longest usual wait

    // One buffer: the index of its first frame, when it is asked for and when that frame will be
    // heard, both in frames of the stream's rate. Returns the slip noticed with it, in frames:
    // positive where silence was inserted (what follows is heard that much later), negative
    // where frames were dropped; 0 when nothing slipped. A slip is reported once, a window after
    // the step showed: measured sooner, the jitter would bias it.
    std::int64_t feed(std::int64_t frame, double calledAt, double heardAt);
    // Forgets what was fed (a new stream).
    void reset()
    {
        count_ = 0;
        settling_ = false;
        lastCall_ = 0;
        sinceLateCall_ = kNever;
    }

private:
    static constexpr int kNever = 1 << 30;
    double median(int from) const;  // of the window that starts `from` buffers after the oldest

    std::array<double, 2 * kWindow> offsets_{};  // heard minus counted, oldest first from head_
    int head_ = 0;
    int count_ = 0;
    bool settling_ = false;  // a step showed: the window after it is being filled
    double reference_ = 0;   // the median before the step
    double lastCall_ = 0;    // 0: none yet
    int sinceLateCall_ = kNever;  // buffers since one was asked for late
};
