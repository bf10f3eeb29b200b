#include "recordsheet/SheetAdministration.h"

#include "protocol/Paces.h"

SheetAdministration::SheetAdministration(ItemSet set, int pace)
    : set(set), pace(set == ItemSet::Trial ? pace : set == ItemSet::Practice ? (pace == 1 ? 1 : 0) : -1)
{
    const std::span<const int> digits = digitsOf(set);
    for (std::size_t n = 1; n < digits.size(); ++n)
        sums.push_back(digits[n - 1] + digits[n]);
    marks.assign(sums.size(), SheetMark::None);
    byExaminer.assign(sums.size(), false);
    voice.assign(sums.size(), std::nullopt);
}

std::chrono::milliseconds SheetAdministration::interval() const
{
    return std::chrono::milliseconds(isTrial() ? kTrialIntervals[std::size_t(pace)] : kIntroductionInterval);
}

QString SheetAdministration::name() const
{
    return isTrial() ? QStringLiteral("Trial ") + shortName() : shortName();
}

QString SheetAdministration::shortName() const
{
    switch (set) {
    case ItemSet::Demonstration:
        return QStringLiteral("Demonstration");
    case ItemSet::Practice:
        return QStringLiteral("Practice %1").arg(pace + 1);
    case ItemSet::Trial:
        break;
    }
    return QStringLiteral("%1 s").arg(paceName(pace));
}
