#pragma once

#include <cstdint>
#include <optional>
#include <span>

// Where the microphone heard the program's own first digit, against where the recording's
// place on the clock says it should: a check of that place wherever the speakers are heard. The
// loudness of the digit, 5 ms at a time, is sought in the recording from kEarliestFrames before
// to kLatestFrames after where it was laid; where it stands out clearly there, its waveform
// places it to the frame.
class EchoAlignment {
public:
    static constexpr long long kEarliestFrames = 44100 * 3 / 10;
    static constexpr long long kLatestFrames = 44100;
    // An echo as late as this after where the digit was laid is within the echo remover's reach
    // (its tail): the place on the clock stands. Placed anew by the echo on the rig, whose
    // loopback and capture times put it 90 to 190 ms late, the answers' onsets strayed further
    // from the true ones (17 of 28 within 15 ms of their median, against 24 or more).
    static constexpr long long kRoomFrames = 44100 / 4;

    // `heard`: the recording (mono, 44100 Hz); `digit`: what left the speakers, laid from frame
    // `at`. How many frames after `at` its echo came (before it, where negative); nothing where
    // it came within the room's reach, or no echo stands out (headphones).
    static std::optional<long long> echoLate(std::span<const std::int16_t> heard, std::span<const std::int16_t> digit,
                                             long long at);
};
