#pragma once

#include <array>

// The fixed digit lists of the test. Each digit is also the identifier of its recording.
inline constexpr std::array<int, 4> kDemonstrationDigits{1, 2, 3, 4};

// Presented by both practice choices.
inline constexpr std::array<int, 11> kPracticeDigits{1, 3, 4, 2, 5, 3, 2, 4, 1, 1, 3};

// Presented by all four trials; only the pace differs.
inline constexpr std::array<int, 61> kTrialDigits{
    2, 7, 5, 1, 4, 9, 6, 5, 3, 8,  //
    4, 3, 2, 6, 9, 3, 4, 5, 8, 6,  //
    4, 8, 7, 1, 6, 3, 5, 9, 2, 7,  //
    5, 3, 4, 7, 1, 5, 8, 3, 4, 6,  //
    8, 5, 4, 8, 2, 1, 7, 5, 9, 1,  //
    3, 6, 2, 9, 7, 8, 2, 4, 7, 6,  //
    3};

// From the start of one digit to the start of the next, in milliseconds: the demonstration and
// practice, and the four trial paces 2.4, 2.0, 1.6 and 1.2 s.
inline constexpr int kIntroductionInterval = 2400;
inline constexpr std::array<int, 4> kTrialIntervals{2400, 2000, 1600, 1200};
