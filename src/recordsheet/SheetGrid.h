#pragma once

#include "recordsheet/RecordSheet.h"

#include <QWidget>

// The marks of one administration, laid out as on the paper form: rows of ten answers, each with
// its number, its correct sum and its mark. The answer awaited is shaded. Worked from the
// keyboard: Space marks correct and X wrong, Backspace takes the last mark back, the arrow keys
// move the cursor, F5 starts or pauses the run. Space and X mark the answer awaited while a run
// goes, and the one at the cursor otherwise, or once the cursor has been moved while the same
// answer is awaited. A click puts the cursor on an answer and turns its mark on: none, correct,
// wrong.
class SheetGrid final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 10;

    SheetGrid(RecordSheet& sheet, QWidget* parent = nullptr);

    // -1: the set chosen, not given yet.
    void view(int administration);
    int viewed() const { return viewed_; }
    int cursor() const { return cursor_; }
    QSize sizeHint() const override;

    // Draws `given`'s marks into `area` (the report draws them too), `awaited` shaded and
    // `cursor` framed where they are not -1.
    static void paintMarks(QPainter& painter, const QRectF& area, const SheetAdministration& given, int awaited, int cursor);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const SheetAdministration& shown() const;
    void mark(SheetMark mark);
    void moveCursor(int by);

    RecordSheet& sheet_;
    int viewed_ = -1;
    int cursor_ = 0;
    // The cursor was moved while this answer (or none) was awaited: the keys mark at the cursor
    // until another is.
    std::optional<std::optional<RecordSheet::Answer>> movedWhile_;
};
