#pragma once

#include "sound/SoundFormat.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

// Finds the program's digit recordings in a recording of the sound output (interleaved 16-bit
// stereo at 44100 Hz, silence between sounds): each sound is located by its energy onset, then
// placed to the sample and named by normalised cross-correlation with the nine recordings. The
// onset level follows the recording's own peak and noise floor, so that a digit is found to the
// sample from full scale down to where rounding to 16 bits wears it away (see the performance
// notes for the levels).
class DigitLocator {
public:
    struct Found {
        int digit = 0;
        long long sample = 0;  // onset, in frames from the start of the recording
        double match = 0;      // normalised correlation with that digit's recording, at most 1
        bool overlapped = false;  // the sound goes on past the end of that recording

        // The match of a digit heard whole. A digit that comes through a sound server untouched
        // matches its recording at 0.99 or more (resampled twice on PipeWire included); one with a
        // gap of a single 10.7 ms server period cut into it matches at about 0.47, two digits laid
        // over each other at about 0.78, and another digit lower still.
        static constexpr double kWholeMatch = 0.95;

        // Heard whole and alone: matching at `from` or more (a microphone's direct sound matches
        // less), with nothing over it.
        bool whole(double from = kWholeMatch) const { return match >= from && !overlapped; }
    };

    // The recordings of digits 1 to 9, from the program's own resources.
    DigitLocator();

    std::vector<Found> locate(const QByteArray& stereo16) const;

    // A recording's loudest frame and its noise floor (the RMS of its quietest fifth of 10 ms
    // blocks: between digits there is only the floor), in 16-bit steps of the mix of both channels.
    struct Level {
        float peak = 0;
        float floor = 0;
        // How far the floor lies under the peak, in dB (a silent floor as a thousandth of a step).
        double floorUnderPeakDb() const { return 20 * std::log10(peak / std::max(floor, 1e-3f)); }
    };
    static Level levelOf(const QByteArray& stereo16);

    // For a microphone in a room, where noise and echo hide where sounds begin and end: each digit
    // of a known sequence looked for around its place on the pace (the first within the first
    // kFirstWithin), by correlation of the digit's first kDirectFrames, the direct sound before a
    // room's reflections pile up, with the recording. Every digit of the sequence gets a Found;
    // its match is that correlation (a digit that is not there matches at about 0.1).
    std::vector<Found> locateSequence(const QByteArray& stereo16, const std::vector<int>& digits, double paceFrames) const;
    static constexpr long long kDirectFrames = 2048;              // 46 ms
    static constexpr long long kFirstWithin = 3 * kSampleRate;       // from the start of the recording
    static constexpr long long kSearchAround = 2205;              // 50 ms either side of the place

private:
    std::array<std::vector<float>, 10> templates_;  // index = digit; 0 unused
    std::array<std::vector<float>, 10> risen_;      // the largest magnitude up to each sample
};
