#pragma once

#include <array>
#include <cstdint>

// Notices frames that the sound server inserted or dropped behind a stream's back, as an underrun
// on a busy machine does. The stream counts the frames it renders, and with each buffer the server
// says when that buffer will be heard. While nothing slips, heard time minus counted time stays
// put, but for the jitter of the server's delay reports (within ±25 frames on PipeWire, a few on
// PulseAudio) and the slow drift of the device's clock. A step between the medians of two
// successive windows of buffers, of at least kMinSlip, is a slip.
//
// Feed it from the thread that renders the buffers; it neither allocates nor locks.
class SlipDetector {
public:
    static constexpr int kWindow = 32;     // buffers: about 190 ms of 256-frame buffers
    static constexpr double kMinSlip = 88;  // frames: 2 ms at 44.1 kHz, well clear of the jitter

    // One buffer: the index of its first frame and when that frame will be heard, in frames of
    // the stream's rate. Returns the slip noticed with it, in frames: positive where silence was
    // inserted (what follows is heard that much later), negative where frames were dropped; 0
    // when nothing slipped. A slip is reported once, a window after the step showed: measured
    // sooner, the jitter would bias it.
    std::int64_t feed(std::int64_t frame, double heardAt);
    // Forgets what was fed (a new stream).
    void reset()
    {
        count_ = 0;
        settling_ = false;
    }

private:
    double median(int from) const;  // of the window that starts `from` buffers after the oldest
    std::array<double, 2 * kWindow> offsets_{};  // heard minus counted, oldest first from head_
    int head_ = 0;
    int count_ = 0;
    bool settling_ = false;  // a step showed: the window after it is being filled
    double reference_ = 0;   // the median before the step
};
