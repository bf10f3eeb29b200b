#include "recordsheet/SheetCounts.h"

#include <algorithm>

SheetCounts SheetCounts::of(const std::vector<SheetMark>& marks)
{
    SheetCounts counts;
    int run = 0;
    for (std::size_t item = 0; item < marks.size(); ++item) {
        switch (marks[item]) {
        case SheetMark::Correct:
            ++counts.correct;
            if (item < 60)
                ++counts.thirds[item / 20];
            counts.dyads += run > 0 ? 1 : 0;
            counts.longestRun = std::max(counts.longestRun, ++run);
            continue;
        case SheetMark::Wrong:
            ++counts.wrong;
            break;
        case SheetMark::None:
            ++counts.noAnswer;
            break;
        }
        run = 0;
    }
    return counts;
}
