#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

// The middle one of `values` (of an even count, the upper of the two); NaN when there are none.
inline double median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}
