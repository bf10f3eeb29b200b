#pragma once

#include <QString>
#include <array>
#include <cstdint>

// The age groups the norms are given for. A group's code is its youngest age; 0 stands for none
// chosen.
struct AgeGroup {
    std::uint8_t code;
    const char* name;
};

inline constexpr std::array<AgeGroup, 3> kAgeGroups{{{16, "16-29"}, {30, "30-49"}, {50, "50-69"}}};

// "16-29", "30-49", "50-69"; "not chosen" for any other code.
inline QString ageGroupName(std::uint8_t code)
{
    for (const AgeGroup& group : kAgeGroups)
        if (group.code == code)
            return QString::fromLatin1(group.name);
    return QStringLiteral("not chosen");
}
