#include "recordsheet/SheetMarking.h"

#include <algorithm>

void SheetMarking::view(int administration)
{
    viewed_ = administration;
    cursor_ = std::min(cursor_, int(shown().sums.size()) - 1);
}

const SheetAdministration& SheetMarking::shown() const
{
    return viewed_ >= 0 && viewed_ < int(sheet_.administrations().size()) ? sheet_.administrations()[std::size_t(viewed_)]
                                                                           : sheet_.chosen();
}

void SheetMarking::mark(SheetMark mark)
{
    if (movedWhile_ && *movedWhile_ != sheet_.awaited())
        movedWhile_.reset();
    if (movedWhile_) {
        if (viewed_ >= 0)
            sheet_.setMark({viewed_, cursor_}, mark);
        return;
    }
    if (const std::optional<RecordSheet::Answer> marked = sheet_.markAwaited(mark)) {
        if (marked->administration == viewed_)
            cursor_ = marked->item;
        return;
    }
    if (viewed_ >= 0)
        sheet_.setMark({viewed_, cursor_}, mark);
}

void SheetMarking::moveCursor(int by)
{
    const std::optional<RecordSheet::Answer> awaited = sheet_.awaited();
    if (awaited && awaited->administration == viewed_ && movedWhile_ != awaited)
        cursor_ = awaited->item;
    const int next = cursor_ + by;
    if (next >= 0 && next < int(shown().sums.size()))
        cursor_ = next;
    movedWhile_ = awaited;
}

void SheetMarking::click(int item)
{
    if (viewed_ < 0 || item < 0 || item >= int(shown().sums.size()))
        return;
    cursor_ = item;
    const SheetMark now = shown().marks[std::size_t(item)];
    sheet_.setMark({viewed_, item}, now == SheetMark::None ? SheetMark::Correct
                                    : now == SheetMark::Correct ? SheetMark::Wrong
                                                                : SheetMark::None);
}
