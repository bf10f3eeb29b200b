#pragma once

#include "listening/EchoRemover.h"
#include "sound/SteadyTime.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The microphone's recording of one administration, in memory only: mono, 44100 Hz, from the
// moment its run started. Beside what was heard, the same with the program's own digits taken
// out (what answers are looked for in), and those digits as they left the speakers.
//
// Where frame 0 lies on the steady clock is what the server says of its capture, where it says:
// the microphone's own delay then counts. It is also bounded by the recording's arrival: each
// time frames are added, the time then less the length recorded is a moment no earlier than
// frame 0 was captured; the least of these bounds it. A server's word later than that bound
// (PortAudio on the pulse plugin tells a capture 12 to 14 ms later than its buffers arrive) gives
// way to the bound. Where the microphone hears the speakers, the first digit's echo places frame 0
// again (EchoAlignment): a server that buffers its capture and tells nothing of it, or tells it
// wrong, would put every answer and every echo that much off, and the echo past the remover's reach.
class AnswerTake {
public:
    static constexpr int kRate = 44100;
    // The echo remover learns an echo only from a reference no later than it: each digit is laid
    // this much before it leaves the speakers, whatever the error in where frame 0 lies.
    static constexpr std::chrono::milliseconds kReferenceLead{30};

    // `learnt`: the echo remover of the run before, in the same room (none: one that starts
    // from nothing).
    explicit AnswerTake(std::unique_ptr<EchoRemover> learnt = nullptr);

    // `mono`, just received at `now`.
    void add(const std::vector<std::int16_t>& mono, SteadyTime now);
    // Frame 0 was captured at `time`, as the server tells it.
    void anchor(SteadyTime time);
    // Lays a digit's sound (mono) on the reference where it leaves the speakers at `heard`.
    void addDigit(const std::vector<std::int16_t>& sound, SteadyTime heard);

    // What only deciding needed goes: the cleaned sound and the reference; the echo remover, with
    // what it learnt of the room, is handed back for the next run.
    std::unique_ptr<EchoRemover> finish();

    long long frames() const { return (long long)(heard_.size()); }
    long long cleanedFrames() const { return (long long)(cleaned_.size()); }
    bool knowsTime() const { return bool(origin_); }
    // The frame at `time`, and back; frame 0 before anything was recorded.
    long long frameAt(SteadyTime time) const;
    SteadyTime timeAt(long long frame) const;

    const std::vector<std::int16_t>& heard() const { return heard_; }
    const std::vector<std::int16_t>& cleaned() const { return cleaned_; }
    const std::vector<std::int16_t>& reference() const { return reference_; }
    // Per cleaned frame: the mean square of the echo that may be left in it (EchoRemover).
    const std::vector<float>& echoLeft() const { return echoLeft_; }

private:
    void settleOrigin();
    // Once the first digit's echo has had time to come: where it came, frame 0 is placed anew
    // by how far it lies from where the digit was laid, and everything is cleaned again.
    void alignByEcho();

    std::vector<std::int16_t> heard_, cleaned_, reference_;
    std::vector<float> echoLeft_;
    std::optional<SteadyTime> origin_;
    std::optional<SteadyTime> told_, arrival_;  // by the server; the bound the arrivals set
    SteadyTime::duration byEcho_{};  // how much earlier the first digit's echo puts frame 0
    // The digits laid until the echo placed frame 0 (or showed there is none to go by).
    std::vector<std::pair<std::vector<std::int16_t>, SteadyTime>> laid_;
    bool aligned_ = false;
    // Digits placed before the time of frame 0 was known: laid once it is.
    std::vector<std::pair<std::vector<std::int16_t>, SteadyTime>> waiting_;
    std::unique_ptr<EchoRemover> echo_;
    std::size_t fedToEcho_ = 0;  // frames of both given to the echo remover
};
