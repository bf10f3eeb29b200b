#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <vector>

// Which two of a device's channels, named as the sound server names them ("FL", "MONO", ...),
// to record as left and right: those named FL and FR; a mono device's one channel twice; else
// the first two. Indices into `channels`; {-1, -1} when there is none.
inline std::array<int, 2> stereoPair(const std::vector<std::string>& channels)
{
    const auto index = [&](const char* name) {
        const auto at = std::find(channels.begin(), channels.end(), name);
        return at == channels.end() ? -1 : int(at - channels.begin());
    };
    if (index("FL") >= 0 && index("FR") >= 0)
        return {index("FL"), index("FR")};
    if (channels.size() == 1)
        return {0, 0};
    if (channels.size() >= 2)
        return {0, 1};
    return {-1, -1};
}
