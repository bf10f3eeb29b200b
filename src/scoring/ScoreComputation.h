#pragma once

#include "scoring/Norms.h"

#include <QLocale>
#include <QString>
#include <optional>

// Turning a raw score (correct sums of one trial, 0 to 60) into a z-score against the norms of an
// age group and a percentile of the normal curve, with the exact texts shown for them. Every
// narrowing to single precision below is part of the result: the texts depend on it.

inline constexpr double kLowestRawScore = 0;
inline constexpr double kHighestRawScore = 60;

// The decimal number at the start of `text`: blanks are skipped, a leading sign and a fraction
// and exponent are read; text that does not start with a number reads as 0.
double readRawScore(const QString& text);

struct CumulativeProbability {
    float probability;  // that a standard normal variable is below z
    float percentile;   // a whole number 0 to 100
};

// The standard normal distribution at z (Abramowitz and Stegun 26.2.17), with its percentile:
// probability times 100, rounded to the nearest whole number, ties to even.
CumulativeProbability normalDistribution(float z);

struct TrialScore {
    NormPair norms;
    float zScore;
    float percentile;
};

// Scores the text of a trial's field against that trial's norms for the age group. Assumes a raw
// score within 0 to 60; nothing for codes that have no norms.
std::optional<TrialScore> scoreTrial(std::uint8_t trialCode, std::uint8_t ageGroup,
                                     const QString& rawText);

// The z-score to two decimals (halfway cases of the exact single-precision value to the even
// digit), in plain notation without trailing zeros, with the locale's decimal separator; zero of
// either sign shows as "0".
QString formatZScore(float zScore, const QLocale& locale = QLocale());

// The percentile as a whole number without sign or separator: "0" to "100".
QString formatPercentile(float percentile);
