#pragma once

#include "protocol/DigitLists.h"

#include <span>

// What one run presents: the demonstration, the practice (both practice choices present the same
// list) or a test trial, whose pace is chosen apart.
enum class ItemSet { Demonstration, Practice, Trial };

// The digits `set` presents, in order.
constexpr std::span<const int> digitsOf(ItemSet set)
{
    switch (set) {
    case ItemSet::Demonstration: return kDemonstrationDigits;
    case ItemSet::Practice: return kPracticeDigits;
    case ItemSet::Trial: return kTrialDigits;
    }
    return {};
}
