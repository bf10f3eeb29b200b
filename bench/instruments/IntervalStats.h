#pragma once

#include "timingcheck/DigitLocator.h"

#include <vector>

// Inter-onset statistics against an expected pace, in milliseconds.
struct IntervalStats {
    double meanErrorMs = 0;
    double sdMs = 0;
    double maxAbsErrorMs = 0;
    int count = 0;
};
IntervalStats intervalStats(const std::vector<DigitLocator::Found>& found, double paceMs);
