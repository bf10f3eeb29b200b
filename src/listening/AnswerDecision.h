#pragma once

#include "recordsheet/SheetVoice.h"

#include <cstdint>
#include <span>
#include <vector>

class AnswerRecogniser;

// What was said in one answer's window, from the cleaned recording around it: each utterance
// whose onset falls in the window is heard on its own; the last sum said is the answer, two or
// more make a self-correction, and speech that is no sum is "something said". The latency runs
// from the second digit heard to the onset of the first utterance that held a sum. An
// utterance whose loudness follows what left the speakers just before is the program's own
// digit, echoed, and no answer.
struct AnswerDecision {
    // Below this the examiner is asked to look again.
    static constexpr double kSureFrom = 0.6;

    SheetVoice voice;
    long long onset = -1;  // of the answer in the recording's frames; -1: nothing said

    struct Stretch {
        std::span<const std::int16_t> cleaned;  // mono, 44100 Hz
        std::span<const std::int16_t> reference;  // what left the speakers meanwhile, on the same frames
        std::span<const float> echoLeft;          // per frame of `cleaned`: the echo that may be left
        long long first = 0;                    // the recording's frame at cleaned[0]
        long long from = 0, to = 0;             // the window, in the recording's frames
        long long secondHeard = 0;              // where the answer's second digit was heard
        std::vector<long long> digits;          // where each digit was heard
    };
    static AnswerDecision decide(const Stretch& stretch, AnswerRecogniser& recogniser);
};
