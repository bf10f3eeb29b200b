#pragma once

#include "sound/SoundFaultLog.h"
#include "sound/SteadyClock.h"
#include "sound/WaveImage.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// Where each sound goes in an output stream that counts the frames it renders: the stream's own
// frame count is its clock. Due times map to stream frames through an anchor (a due time and the
// frame it is heard at) taken at the first sound, a lead ahead of what the stream had rendered
// then; every later sound starts exactly at its due time's frame on that map. A sound asked for
// too late for its frame (the thread that plays held up) starts late, and the map stays. The
// anchor is taken afresh only when a sound asked for on time would start too soon to be rendered
// whole or too far ahead (the sound device's clock running apart from the computer's, a stall of
// the stream), and on every new stream. Where the sound server inserts or drops frames behind the stream's back, the stream's
// backend measures the slip and the map moves by it, so that the sounds after it are heard on the
// grid again.
//
// What the placement sees go wrong with a sound is kept for takeFaults(): a sound that could not
// be played, one placed off the map (a new map taken while the old one held, a stream opened
// afresh after it stopped), one started after its frame, a slip around a sound, and one the
// server moved to another output as it played or just before.
//
// The audio thread calls mapChanged(), forgotten() and render(); the thread that plays the
// sounds calls the rest, and only while the stream runs, but for restart().
class SoundPlacement {
public:
    struct Slip {
        std::int64_t frames = 0;  // positive: silence inserted; negative: frames dropped; 0: none
        std::int64_t from = 0;    // the first frame of the window in which it showed
        // The grain of the reports it was measured from (a cycle of the graph, a buffer): a
        // step that size may be the reports' and not the sound's.
        std::int64_t grain = 0;
    };
    static constexpr std::int64_t kMinLeadFrames = 1024;

    // `clock`, which tells how late a sound is asked for, must outlive the placement.
    SoundPlacement(int sampleRate, int channels, const SteadyClock& clock)
        : rate_(sampleRate), channels_(channels), clock_(clock), faults_(sampleRate)
    {
    }

    // A new stream, whose sounds are placed `leadFrames` ahead of what it has rendered and heard
    // about `latencySeconds` after they are rendered. No stream may be running.
    void restart(std::int64_t leadFrames, double latencySeconds);
    // Cuts off whatever is playing and starts `sound` on its due time's frame (see SoundOutput).
    // `restarted`: on a stream opened afresh after the one before it stopped.
    void place(const WaveImage& sound, SteadyTime due, bool restarted);
    // A sound due at `due` could not be played at all.
    void notPlayed(SteadyTime due);
    void stop();
    // The server moved the stream to another output at these times.
    void rerouted(const std::vector<SteadyTime>& moves);
    // The stream ends: a move seen on it says nothing of the next.
    void forgetReroute();
    std::vector<SoundFault> takeFaults();

    // From the audio thread, at each buffer: true once after a new map was taken, so that the
    // backend forgets what it saw of slips (it cannot have moved the new map); a slip it had seen
    // showing but not measured yet goes to forgotten().
    bool mapChanged() { return forgetSlips_.exchange(false); }
    void forgotten(Slip pending);
    // Fills the next buffer of `frames` frames, after moving the map by `slip`. A sound whose start
    // frame has passed unplayed starts at once: late, but never cut short.
    void render(std::int16_t* out, std::size_t frames, Slip slip);
    // Frames rendered so far: the index of the next buffer's first frame.
    std::int64_t rendered() const { return rendered_.load(); }

    // How often the map was taken afresh (the first time included).
    int anchors() const { return anchors_; }
    // How many slips the map was moved by.
    int slips() const { return slipCount_.load(); }
    // From due time to the stream, as laid out when it last opened: covers a timer handler held
    // up by a busy machine (up to about 175 ms) and the stream's bursts.
    std::int64_t leadFrames() const { return leadFrames_; }

private:
    std::int64_t startFrameFor(SteadyTime due);
    // The sound due at `due` is the first placed after `slip` was made good.
    void noteCorrected(SteadyTime due, const Slip& slip, std::int64_t size);
    void noteUnheard();

    const int rate_;
    const int channels_;
    const SteadyClock& clock_;
    std::int64_t leadFrames_ = 0;
    double latency_ = 0;
    std::atomic<std::int64_t> rendered_{0};
    int anchors_ = 0;
    std::atomic<int> slipCount_{0};
    std::atomic<bool> forgetSlips_{false};

    // Guards the map and the sound being played; held by the audio thread while it fills one
    // buffer, in which it moves the map by any slip.
    std::mutex mutex_;
    bool anchored_ = false;
    SteadyTime anchorDue_{};
    std::int64_t anchorFrame_ = 0;
    const std::int16_t* samples_ = nullptr;
    std::size_t frames_ = 0;
    std::size_t position_ = 0;
    std::int64_t startFrame_ = 0;
    Slip correction_;  // the slips made good since the last sound placed, which is not named yet
    std::int64_t correctionSize_ = 0;  // their sizes, whatever their directions
    SteadyTime::duration heardAfterDue_{};  // about how long after its due time the map's sounds are heard
    SoundFaultLog faults_;
};
