#pragma once

#include "sound/SoundFormat.h"

#include <cmath>

// The grid a check's digits are placed on: the first digit found sets its origin and the pace
// its spacing. Each sound belongs to the place its distance from the origin puts it nearest, so
// that a missing digit leaves its place empty instead of shifting the rest.
class DigitGrid {
public:
    DigitGrid(long long origin, int paceMs) : origin_(origin), paceFrames_(framesOf(paceMs)) {}

    static double framesOf(int paceMs) { return paceMs * double(kSampleRate) / 1000; }

    // The place of a sound that began at `onset`, among `places`; -1 where it lies off them.
    int placeOf(long long onset, int places) const
    {
        const long long place = std::llround(double(onset - origin_) / paceFrames_);
        return place >= 0 && place < places ? int(place) : -1;
    }
    // How far `onset` lies from `place`, in ms: positive when late.
    double errorMs(long long onset, int place) const
    {
        return (double(onset - origin_) - double(place) * paceFrames_) * 1000 / double(kSampleRate);
    }

private:
    long long origin_;
    double paceFrames_;
};
