#include "recordsheet/SheetAdministration.h"

#include "protocol/Paces.h"

SheetAdministration::SheetAdministration(ItemSet set, int pace)
    : set(set), pace(set == ItemSet::Trial ? pace : -1)
{
    const std::span<const int> digits = digitsOf(set);
    for (std::size_t n = 1; n < digits.size(); ++n)
        sums.push_back(digits[n - 1] + digits[n]);
    marks.assign(sums.size(), SheetMark::None);
}

std::chrono::milliseconds SheetAdministration::interval() const
{
    return std::chrono::milliseconds(isTrial() ? kTrialIntervals[std::size_t(pace)] : kIntroductionInterval);
}

QString SheetAdministration::name() const
{
    switch (set) {
    case ItemSet::Demonstration:
        return QStringLiteral("Demonstration");
    case ItemSet::Practice:
        return QStringLiteral("Practice");
    case ItemSet::Trial:
        break;
    }
    return QStringLiteral("Trial %1 s").arg(paceName(pace));
}
