#pragma once

#include <cstdint>
#include <optional>

// Trial codes name a test trial by its pace in tenths of a second: 24, 20, 16, 12.
// Age-group codes are the youngest age of the group: 16 (16-29), 30 (30-49), 50 (50-69).

// The mean and standard deviation of the raw score of one trial in one age group, each the
// single-precision float nearest to the published decimal.
struct NormPair {
    float mean;
    float sd;
};

// The norm pair of that trial and age group (an exact match on both codes), or nothing for a
// code that is not in the table.
std::optional<NormPair> lookupNorms(std::uint8_t trialCode, std::uint8_t ageGroup);
