#include "recordsheet/SheetAdministration.h"

#include "administration/DigitLists.h"

SheetAdministration::SheetAdministration(RunEngine::ItemSet set, int pace)
    : set(set), pace(set == RunEngine::ItemSet::Trial ? pace : -1)
{
    const std::span<const int> digits = RunEngine::digitsOf(set);
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
    case RunEngine::ItemSet::Demonstration:
        return QStringLiteral("Demonstration");
    case RunEngine::ItemSet::Practice:
        return QStringLiteral("Practice");
    case RunEngine::ItemSet::Trial:
        break;
    }
    return QStringLiteral("Trial %1 s").arg(double(kTrialIntervals[std::size_t(pace)]) / 1000, 0, 'f', 1);
}
