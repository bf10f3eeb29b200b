#include "scoring/Norms.h"

namespace {

struct NormRow {
    std::uint8_t trial;
    NormPair age16, age30, age50;
};

// Every standard deviation is positive.
constexpr NormRow kNorms[] = {
    {24, {47.4f, 10.1f}, {43.4f, 10.2f}, {43.5f, 13.6f}},
    {20, {42.0f, 12.5f}, {41.9f, 10.2f}, {35.6f, 14.6f}},
    {16, {36.0f, 13.0f}, {33.1f, 12.2f}, {30.8f, 15.9f}},
    {12, {27.4f, 9.9f}, {24.6f, 10.6f}, {21.2f, 14.4f}},
};

}  // namespace

std::optional<NormPair> lookupNorms(std::uint8_t trialCode, std::uint8_t ageGroup)
{
    for (const NormRow& row : kNorms) {
        if (row.trial != trialCode)
            continue;
        switch (ageGroup) {
        case 16: return row.age16;
        case 30: return row.age30;
        case 50: return row.age50;
        default: return std::nullopt;
        }
    }
    return std::nullopt;
}
