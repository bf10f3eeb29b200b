#include "IntervalStats.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kRate = 44100.0;
}

IntervalStats intervalStats(const std::vector<DigitLocator::Found>& found, double paceMs)
{
    IntervalStats s;
    std::vector<double> errors;
    for (std::size_t i = 1; i < found.size(); ++i)
        errors.push_back((found[i].sample - found[i - 1].sample) * 1000.0 / kRate - paceMs);
    s.count = int(errors.size());
    if (errors.empty())
        return s;
    for (double e : errors) {
        s.meanErrorMs += e / errors.size();
        s.maxAbsErrorMs = std::max(s.maxAbsErrorMs, std::fabs(e));
    }
    for (double e : errors)
        s.sdMs += (e - s.meanErrorMs) * (e - s.meanErrorMs) / errors.size();
    s.sdMs = std::sqrt(s.sdMs);
    return s;
}
