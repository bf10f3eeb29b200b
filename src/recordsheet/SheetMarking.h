#pragma once

#include "recordsheet/RecordSheet.h"

#include <optional>

// Which answer the examiner's keys mark on the administration in view, and where the cursor is.
// Needs no window: the grid passes on its keys and clicks and draws what this tells.
//
// Space and X mark the answer awaited while a run goes, and the one at the cursor otherwise.
// Once the cursor has been moved while an answer is awaited, the keys mark at the cursor until
// another answer is awaited; the first move during a run goes from the answer awaited. A click
// puts the cursor on an answer and turns its mark on: none, correct, wrong.
class SheetMarking {
public:
    // The sheet outlives this.
    explicit SheetMarking(RecordSheet& sheet) : sheet_(sheet) {}

    // -1: the set chosen, not given yet.
    void view(int administration);
    int viewed() const { return viewed_; }
    // The administration in view: given, or the set chosen as a sheet without marks.
    const SheetAdministration& shown() const;
    int cursor() const { return cursor_; }

    void mark(SheetMark mark);
    // By `by` answers; a move that would leave the administration stays where it is.
    void moveCursor(int by);
    void click(int item);

private:
    RecordSheet& sheet_;
    int viewed_ = -1;
    int cursor_ = 0;
    // The cursor was moved while this answer (or none) was awaited: the keys mark at the cursor
    // until another is.
    std::optional<std::optional<RecordSheet::Answer>> movedWhile_;
};
