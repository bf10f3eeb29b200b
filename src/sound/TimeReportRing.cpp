#include "sound/TimeReportRing.h"

#include <algorithm>

// Copied between two readings of the count: a report the writer may have overwritten meanwhile
// (it writes the slot of index count() - kCapacity next) is left out.
std::vector<TimeReport> TimeReportRing::since(std::int64_t from, std::int64_t* lost) const
{
    const std::int64_t end = count();
    std::vector<TimeReport> copied;
    const std::int64_t begin = std::max(from, end - kCapacity);
    for (std::int64_t i = begin; i < end; ++i)
        copied.push_back(reports_[std::size_t(i % kCapacity)]);
    const std::int64_t kept = std::max(begin, count() - kCapacity + 1);
    copied.erase(copied.begin(), copied.begin() + std::min<std::int64_t>(std::max<std::int64_t>(kept - begin, 0), std::int64_t(copied.size())));
    if (lost)
        *lost = std::max<std::int64_t>(std::min(kept, end) - from, 0);
    return copied;
}
