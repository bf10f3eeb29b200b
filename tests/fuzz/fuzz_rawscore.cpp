// libFuzzer target: any bytes pasted into a raw score field. Reading never fails, and a valid raw
// score always scores to tidy texts with a percentile of 0 to 100.
#include "scoring/ScoreComputation.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const double raw = readRawScore(text);
    if (std::isnan(raw))
        __builtin_trap();
    if (raw < kLowestRawScore || raw > kHighestRawScore)
        return 0;
    for (std::uint8_t trial : {24, 20, 16, 12}) {
        for (std::uint8_t age : {16, 30, 50}) {
            const auto score = scoreTrial(trial, age, text);
            if (!score || !(score->percentile >= 0 && score->percentile <= 100))
                __builtin_trap();
            if (formatZScore(score->zScore).isEmpty() || formatPercentile(score->percentile).size() > 3)
                __builtin_trap();
        }
    }
    return 0;
}
