#include "recordsheet/SheetListening.h"

#include "recordsheet/SheetAdministration.h"

#include <algorithm>
#include <cmath>

namespace {

// The `p` quantile of sorted `values`, between the two nearest where it falls between them.
double quantile(const std::vector<double>& values, double p)
{
    const double at = p * double(values.size() - 1);
    const std::size_t below = std::size_t(std::floor(at));
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (at - double(below)) * (values[above] - values[below]);
}

}  // namespace

SheetListening SheetListening::of(const SheetAdministration& given)
{
    SheetListening counts;
    std::vector<double> latencies;
    for (std::size_t item = 0; item < given.sums.size(); ++item) {
        const std::optional<SheetVoice>& voice = given.voice[item];
        if (given.byExaminer[item])
            ++counts.changed;
        else if (voice)
            ++counts.voiceMarks;
        if (voice && voice->heard && voice->latencyMs)
            latencies.push_back(*voice->latencyMs);
    }
    counts.answers = int(latencies.size());
    if (!latencies.empty()) {
        std::sort(latencies.begin(), latencies.end());
        counts.median = quantile(latencies, 0.5);
        counts.lowerQuartile = quantile(latencies, 0.25);
        counts.upperQuartile = quantile(latencies, 0.75);
    }
    return counts;
}
