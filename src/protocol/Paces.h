#pragma once

#include "protocol/DigitLists.h"

#include <QString>
#include <cstdint>

// The four trial paces, by index 0 to 3: 2.4, 2.0, 1.6 and 1.2 s from the start of one digit to
// the start of the next.
inline constexpr int kPaceCount = int(kTrialIntervals.size());

constexpr bool isPace(int pace)
{
    return pace >= 0 && pace < kPaceCount;
}

// The trial code the scoring knows a pace by: its interval in tenths of a second, 24 to 12.
constexpr std::uint8_t trialCode(int pace)
{
    return std::uint8_t(kTrialIntervals[std::size_t(pace)] / 100);
}

// "2.4", "2.0", "1.6", "1.2": the pace in seconds, as the windows show it.
inline QString paceName(int pace)
{
    return QString::number(double(kTrialIntervals[std::size_t(pace)]) / 1000, 'f', 1);
}
