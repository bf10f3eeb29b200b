#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

// Notices frames that the sound server inserted or dropped behind a stream's back when the stream
// underran: its buffers came late because the thread that renders them was held up. The stream counts the
// frames it renders, and with each buffer the server says when that buffer will be heard. While
// nothing slips, heard time minus counted time stays put, but for the jitter of the server's
// delay reports and the slow drift of the device's clock. A step between the medians of two
// successive windows of buffers, of at least kMinSlip, is a slip if, around it, the stream was
// told its output underflowed or, where late buffers are believed, a buffer was asked for more
// than kLateCall later than the length of the one before and after what was queued ahead then
// had run out (only then can the stream have underrun).
//
// Which signs to believe depends on the server. PulseAudio's delay reports are steady, but its
// underflows reach the stream only now and then: a late buffer is enough there. PipeWire's ALSA
// plugin tells of every underflow, but when the whole machine stops for a while (a virtual
// machine whose host is busy) it reports a delay that many milliseconds longer from then on,
// with late buffers, while the sound goes on where it was: only underflows count there. Through
// PipeWire's PulseAudio service (the same ALSA plugin as PulseAudio's, so the stream cannot tell
// them apart) the reported delay wanders by up to 15 ms while nothing slips, and a stopped machine
// shows as a step too; the late buffer keeps out the wandering only.
//
// Feed it from the thread that renders the buffers; it neither allocates nor locks.
class SlipDetector {
public:
    // Buffers to a window, by default: about 190 ms of 256-frame buffers. Larger buffers take
    // fewer, so that a slip is still told within a pace's interval.
    static constexpr int kMaxWindow = 32;
    static constexpr double kMinSlip = 221;    // frames: 5 ms at 44.1 kHz
    static constexpr double kLateCall = 1764;  // frames: 40 ms, twice the longest usual wait

    // One buffer: the index of its first frame, when it is asked for and when that frame will be
    // heard, both in frames of the stream's rate, and whether the stream was told its output
    // underflowed before it. Returns the slip noticed with it, in frames: positive where silence
    // was inserted (what follows is heard that much later), negative where frames were dropped;
    // 0 when nothing slipped. A slip is reported once, a window after the step showed: measured
    // sooner, the jitter would bias it.
    std::int64_t feed(std::int64_t frame, double calledAt, double heardAt, bool underflowed);
    // For the slip reported last: the first frame of the window of buffers in which it showed.
    // The frames that slipped lie between it and the buffer the slip was reported with.
    std::int64_t slipFrom() const { return slipFrom_; }
    // Forgets what was fed, keeping whether late buffers are believed: what went before a new
    // due-time map (a stream settling after it opened, say) cannot have moved it. Returns a slip
    // that was showing, with its sign, but not reported yet, as far as it has shown (0: none):
    // the new map has it already, but what it moved before stays moved. slipFrom() tells where.
    std::int64_t forget();
    // Forgets what was fed (a new stream), and whether late buffers are believed on it; takes
    // `window` buffers (at most kMaxWindow) to a window.
    void reset(bool believeLateCalls, int window = kMaxWindow)
    {
        window_ = std::clamp(window, 4, kMaxWindow);
        head_ = 0;
        count_ = 0;
        settling_ = false;
        believeLateCalls_ = believeLateCalls;
        lastCall_ = 0;
        lastHeard_ = 0;
        lastFrame_ = 0;
        sinceSign_ = kNever;
    }

private:
    static constexpr int kNever = 1 << 30;
    // Of the buffers `from` to `to` (exclusive), counted from the oldest kept.
    double median(int from, int to) const;
    std::int64_t unreported();

    std::array<double, 2 * kMaxWindow> offsets_{};  // heard minus counted, oldest first from head_
    std::array<std::int64_t, 2 * kMaxWindow> frames_{};  // the first frame of each of those buffers
    int window_ = kMaxWindow;
    std::int64_t slipFrom_ = 0;
    int head_ = 0;
    int count_ = 0;
    bool settling_ = false;  // a step showed: the window after it is being filled
    double reference_ = 0;   // the median before the step
    bool believeLateCalls_ = true;
    double lastCall_ = 0;      // 0: none yet
    double lastHeard_ = 0;
    std::int64_t lastFrame_ = 0;
    int sinceSign_ = kNever;  // buffers since the last underflow or believed late buffer
};
