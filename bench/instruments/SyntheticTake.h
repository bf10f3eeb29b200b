#pragma once

#include <QByteArray>
#include <cmath>
#include <span>
#include <utility>
#include <vector>

// A recording of a digit sequence made up from the program's own recordings, as a recorder
// would take it: at a level, on a clock of its own, with digits off their places and white noise,
// rounded to 16 bits (44100 Hz stereo). For measurements and tests of the timing check.
struct TakeConditions {
    double levelDb = 0;                            // gain on the recordings (0: as the program plays them)
    double clockPpm = 0;                           // the recorder's clock runs this much faster than the player's
    double noiseDbfs = -INFINITY;                  // RMS of white noise over it, against full scale
    std::vector<std::pair<int, long long>> late;   // (place, frames): digits that begin this much late
    unsigned seed = 1;                             // of the noise
    bool floored = false;  // taken to 16 bits by flooring, as PulseAudio's software volume does, not by rounding
};

struct SyntheticTake {
    QByteArray sound;
    std::vector<long long> onsets;  // by place: the frame each digit begins at
};

// The first digit one pace after the start, as in sequenceRecording(); each digit starts at its
// place on the recorder's clock, to the nearest frame.
SyntheticTake syntheticTake(std::span<const int> digits, int paceMs, const TakeConditions& conditions);
