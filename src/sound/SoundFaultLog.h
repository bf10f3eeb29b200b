#pragma once

#include "sound/SoundFault.h"

#include <array>
#include <optional>
#include <cstdint>
#include <vector>

// What went wrong with the sounds an output placed, in frames of its stream, kept until taken.
// Fixed storage, so that the audio thread need not allocate; not locked: the output guards it
// with its own lock. What does not fit is dropped: a run with so many faults has been reported.
class SoundFaultLog {
public:
    explicit SoundFaultLog(int sampleRate) : rate_(sampleRate) {}

    // A sound placed to start at frame `from`; it is the newest until the next.
    void place(SteadyTime due, std::int64_t from, std::int64_t frames);
    // The newest sound's first frame went out at `at` (later than placed: it is noted as moved).
    void begin(std::int64_t at);
    // The newest sound, not begun yet, was moved to start at `from`.
    void move(std::int64_t from) { placed_[newest_].from = from; }
    // The newest sound, not begun, was cut off: it was not heard.
    void cut() { note(placed_[newest_].due, SoundFault::Kind::NotPlayed); }
    // A slip of `frames`, somewhere in the frames from `from` to `to`: every sound begun that took
    // frames there was held up or broken off by it.
    void slip(std::int64_t frames, std::int64_t from, std::int64_t to);
    SteadyTime newestDue() const { return placed_[newest_].due; }
    // The output was moved to another device at `at`, on the due times' clock (the moment less
    // the map's latency): the sound playing then, or else the next to begin, went with it; but
    // not a sound more than kRerouteReach after the one before (the first of another run, whose
    // grid starts with it), nor one on a stream opened afresh (forgetReroute()).
    void reroute(SteadyTime at);
    void forgetReroute() { reroutedAt_.reset(); }
    static constexpr std::chrono::seconds kRerouteReach{3};

    void note(SteadyTime due, SoundFault::Kind kind, double frames = 0, double boundFrames = 0);
    std::vector<SoundFault> take();

private:
    struct Placed {
        SteadyTime due{};
        std::int64_t from = 0;
        std::int64_t frames = 0;
        bool begun = false;
    };
    int rate_;
    std::array<Placed, 4> placed_{};  // the sounds placed last: a slip is noticed after them
    std::size_t newest_ = 0;
    std::optional<SteadyTime> reroutedAt_;  // a move after every sound placed so far
    std::array<SoundFault, 64> faults_{};
    std::size_t count_ = 0;
};
