#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Decides what one spoken answer was, from the recording of it alone: 16 kHz, 16-bit mono,
// from a little before the answer's onset to its end. Only the seventeen sums are answers; a
// cough, "um", "I don't know", a word of another kind or noise is none.
class AnswerRecogniser {
public:
    static constexpr int kRate = 16000;

    struct Heard {
        std::vector<int> sums;       // each sum said (2 to 18), in order; two or more: corrected
        bool somethingSaid = false;  // something was said that is no sum
        double confidence = 0;       // from 0 to 1: how sure it is of the last sum (or of none)
    };

    virtual ~AnswerRecogniser() = default;
    // May take a good part of a second: called off the window's thread.
    virtual Heard hear(std::span<const std::int16_t> samples) = 0;
};
