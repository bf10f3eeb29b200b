#pragma once

#include "recordsheet/RecordSheet.h"
#include "recordsheet/SheetMarking.h"

#include <QWidget>

// The marks of one administration, laid out as on the paper form: rows of ten answers, each with
// its number, its correct sum and its mark. The answer awaited is shaded. Worked from the
// keyboard: Space marks correct and X wrong, Backspace takes the last mark back, the arrow keys
// move the cursor, H asks to hear the answer at the cursor again, F5 starts or pauses the run;
// which answer a key marks is SheetMarking's.
//
// Where the program listened, a cell also has the sum heard in small figures ("?" for speech
// that was no sum), the voice's mark drawn light and thin where the examiner's is bold, and a
// shade where the program was unsure and the examiner has not marked it.
class SheetGrid final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 10;

    SheetGrid(RecordSheet& sheet, QWidget* parent = nullptr);

    // -1: the set chosen, not given yet.
    void view(int administration);
    int viewed() const { return marking_.viewed(); }
    int cursor() const { return marking_.cursor(); }
    QSize sizeHint() const override;

    // Draws `given`'s marks into `area` (the report draws them too), `awaited` shaded and
    // `cursor` framed where they are not -1.
    static void paintMarks(QPainter& painter, const QRectF& area, const SheetAdministration& given, int awaited, int cursor);

signals:
    void hearAgain(RecordSheet::Answer answer);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void moveCursor(int by);

    RecordSheet& sheet_;
    SheetMarking marking_;
};
