#pragma once

#include "recordsheet/SheetMark.h"

#include <array>
#include <vector>

// What a trial's marks add up to. The raw score is `correct`.
struct SheetCounts {
    int correct = 0;
    int wrong = 0;
    int noAnswer = 0;
    // Two answers in a row, both correct: a run of n correct answers holds n - 1.
    int dyads = 0;
    int longestRun = 0;  // of correct answers in a row
    // Correct answers in items 1-20, 21-40 and 41-60 (of a trial's 60; a shorter set's items
    // fall in the thirds they would on a trial's sheet).
    std::array<int, 3> thirds{};

    static SheetCounts of(const std::vector<SheetMark>& marks);
};
