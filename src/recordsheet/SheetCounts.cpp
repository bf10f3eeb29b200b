#include "recordsheet/SheetCounts.h"

#include "recordsheet/SheetAdministration.h"

SheetCounts SheetCounts::of(const SheetAdministration& given)
{
    SheetCounts counts;
    int run = 0;
    for (int item = 0; item < int(given.marks.size()); ++item) {
        switch (given.marks[std::size_t(item)]) {
        case SheetMark::Correct:
            ++counts.correct;
            if (item < 60)
                ++counts.thirds[std::size_t(item / 20)];
            counts.dyads += run > 0 ? 1 : 0;
            counts.longestRun = std::max(counts.longestRun, ++run);
            continue;
        case SheetMark::Wrong:
            ++counts.wrong;
            break;
        case SheetMark::None:
            ++(item < given.presented() ? counts.noAnswer : counts.notGiven);
            break;
        }
        run = 0;
    }
    return counts;
}
