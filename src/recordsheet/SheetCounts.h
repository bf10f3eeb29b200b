#pragma once

#include <array>

struct SheetAdministration;

// What an administration's marks add up to. The raw score is `correct`. Answers never presented
// (the run stopped before their second digit) are in no count but `notGiven`.
struct SheetCounts {
    int correct = 0;
    int wrong = 0;
    int noAnswer = 0;  // presented, and no mark
    int notGiven = 0;
    // Two answers in a row, both correct: a run of n correct answers holds n - 1.
    int dyads = 0;
    int longestRun = 0;  // of correct answers in a row
    // Correct answers in items 1-20, 21-40 and 41-60 (of a trial's 60; a shorter set's items
    // fall in the thirds they would on a trial's sheet).
    std::array<int, 3> thirds{};

    static SheetCounts of(const SheetAdministration& given);
};
