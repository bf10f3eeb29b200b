#pragma once

#include <array>

// The fixed digit lists of the test. Each digit is also the identifier of its recording.
inline constexpr std::array<int, 4> DemoDigits{1, 2, 3, 4};

inline constexpr std::array<int, 11> PracticeDigits{1, 3, 4, 2, 5, 3, 2, 4, 1, 1, 3};

// Presented by all four trials; only the pace differs.
inline constexpr std::array<int, 61> TrialDigits{
    2, 7, 5, 1, 4, 9, 6, 5, 3, 8,  //
    4, 3, 2, 6, 9, 3, 4, 5, 8, 6,  //
    4, 8, 7, 1, 6, 3, 5, 9, 2, 7,  //
    5, 3, 4, 7, 1, 5, 8, 3, 4, 6,  //
    8, 5, 4, 8, 2, 1, 7, 5, 9, 1,  //
    3, 6, 2, 9, 7, 8, 2, 4, 7, 6,  //
    3};

// Pace of the introduction runs and of the four trials (optTrial 1 to 4), in milliseconds.
inline constexpr int kPracticeInterval = 2400;
inline constexpr std::array<int, 5> TrialIntervals{0, 2400, 2000, 1600, 1200};
