#pragma once

#include <array>
#include <cstdint>

// Notices frames that the sound server inserted behind a stream's back when the stream underran:
// its buffers came late because the thread that renders them was held up. The stream counts the
// frames it renders, and with each buffer the server says when that buffer will be heard. While
// nothing slips, heard time minus counted time stays put, but for the jitter of the server's
// delay reports and the slow drift of the device's clock. A step between the medians of two
// successive windows of buffers, of at least kMinSlip, is a slip if the stream was told around it
// that its output underflowed. Other steps are not believed: when the whole machine stops for a
// while (a virtual machine whose host is busy), PipeWire's ALSA plugin reports a delay that many
// milliseconds longer from then on, while the sound goes on where it was; and through PipeWire's
// PulseAudio service the reported delay wanders by up to 15 ms while nothing slips. That service
// never tells of an underflow, so its slips are not noticed at all.
//
// Feed it from the thread that renders the buffers; it neither allocates nor locks.
class SlipDetector {
public:
    static constexpr int kWindow = 32;         // buffers: about 190 ms of 256-frame buffers
    static constexpr double kMinSlip = 221;    // frames: 5 ms at 44.1 kHz

    // One buffer: the index of its first frame, when that frame will be heard (in frames of the
    // stream's rate) and whether the stream was told its output underflowed before it. Returns
    // the slip noticed with it, in frames:
    // positive where silence was inserted (what follows is heard that much later), negative
    // where frames were dropped; 0 when nothing slipped. A slip is reported once, a window after
    // the step showed: measured sooner, the jitter would bias it.
    std::int64_t feed(std::int64_t frame, double heardAt, bool underflowed);
    // Forgets what was fed (a new stream).
    void reset()
    {
        count_ = 0;
        settling_ = false;
        sinceUnderflow_ = kNever;
    }

private:
    static constexpr int kNever = 1 << 30;
    double median(int from) const;  // of the window that starts `from` buffers after the oldest

    std::array<double, 2 * kWindow> offsets_{};  // heard minus counted, oldest first from head_
    int head_ = 0;
    int count_ = 0;
    bool settling_ = false;  // a step showed: the window after it is being filled
    double reference_ = 0;   // the median before the step
    int sinceUnderflow_ = kNever;  // buffers since the last underflow
};
