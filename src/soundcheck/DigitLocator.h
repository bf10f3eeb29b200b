#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <vector>

// Finds the program's digit recordings in a recording of the sound output (interleaved 16-bit
// stereo at 44100 Hz, silence between sounds): each sound is located by its energy onset, then
// placed to the sample and named by normalised cross-correlation with the nine recordings.
class DigitLocator {
public:
    struct Found {
        int digit = 0;
        long long sample = 0;  // onset, in frames from the start of the recording
        double match = 0;      // normalised correlation with that digit's recording, at most 1
        bool overlapped = false;  // the sound goes on past the end of that recording

        // Heard whole and alone. A digit that comes through a sound server untouched matches its
        // recording at 0.99 or more (resampled twice on PipeWire included); one with a gap of a
        // single 10.7 ms server period cut into it matches at about 0.47, two digits laid over
        // each other at about 0.78, and another digit lower still.
        bool whole() const { return match >= 0.95 && !overlapped; }
    };

    // The recordings of digits 1 to 9, from the program's own resources.
    DigitLocator();

    std::vector<Found> locate(const QByteArray& stereo16) const;

private:
    std::array<std::vector<float>, 10> templates_;  // index = digit; 0 unused
};

// Inter-onset statistics against an expected pace, in milliseconds.
struct IntervalStats {
    double meanErrorMs = 0;
    double sdMs = 0;
    double maxAbsErrorMs = 0;
    int count = 0;
};
IntervalStats intervalStats(const std::vector<DigitLocator::Found>& found, double paceMs);
