#include "recordsheet/SheetGrid.h"

#include "ui/Fonts.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Narrow enough for the window to fit beside the main window on a screen 1280 pixels wide.
constexpr int kCellWidth = 42, kCellHeight = 40;

}  // namespace

SheetGrid::SheetGrid(RecordSheet& sheet, QWidget* parent) : QWidget(parent), sheet_(sheet), marking_(sheet)
{
    setObjectName(QStringLiteral("sheetGrid"));
    // Six rows whatever the set shown: the window never squeezes a trial's.
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Marks"));
    connect(&sheet_, &RecordSheet::changed, this, qOverload<>(&QWidget::update));
}

void SheetGrid::view(int administration)
{
    marking_.view(administration);
    update();
}

QSize SheetGrid::sizeHint() const
{
    return {kColumns * kCellWidth + 1, 6 * kCellHeight + 1};
}

void SheetGrid::paintMarks(QPainter& painter, const QRectF& area, const SheetAdministration& given, int awaited, int cursor)
{
    const double width = area.width() / kColumns, height = area.height() / 6;
    // Sized by the cell, whatever the device's resolution.
    const double points = 72.0 / painter.device()->logicalDpiY();
    QFont small = painter.font(), large = painter.font();
    small.setPointSizeF(height * 0.24 * points);
    large.setPointSizeF(height * 0.36 * points);
    large.setBold(true);
    for (int item = 0; item < int(given.sums.size()); ++item) {
        const QRectF cell(area.left() + (item % kColumns) * width, area.top() + (item / kColumns) * height, width, height);
        // An answer never presented, the run having stopped before its second digit: greyed.
        const bool notGiven = given.notGiven(item);
        const std::optional<SheetVoice>& voice = given.voice[std::size_t(item)];
        // Unsure of what it heard: shaded for a second look, unless the examiner has marked it.
        const bool unsure = voice && voice->unsure && !given.byExaminer[std::size_t(item)];
        painter.fillRect(cell, item == awaited ? QColor(255, 236, 140)
                               : notGiven      ? QColor(228, 228, 228)
                               : unsure        ? QColor(226, 214, 246)
                                               : QColor(Qt::white));
        painter.setPen(QPen(Qt::gray, 0));
        painter.drawRect(cell);
        painter.setPen(Qt::black);
        painter.setFont(small);
        painter.drawText(cell.adjusted(3, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString::number(item + 1));
        // What was heard, small in the bottom corner: the sum, or "?" for something that was none.
        if (voice && (voice->heard || voice->somethingSaid)) {
            painter.setPen(QColor(40, 70, 160));
            painter.drawText(cell.adjusted(5, 0, 0, -4), Qt::AlignLeft | Qt::AlignBottom,  // inside the cursor's frame
                             voice->heard ? QString::number(*voice->heard) : QStringLiteral("?"));
        }
        painter.setFont(large);
        painter.setPen(notGiven ? QColor(150, 150, 150) : QColor(Qt::black));
        // The sum in the middle, the mark in the right third.
        painter.drawText(cell.adjusted(width * 0.18, 0, -width * 0.3, 0), Qt::AlignCenter,
                         QString::number(given.sums[std::size_t(item)]));
        const SheetMark mark = given.marks[std::size_t(item)];
        if (mark != SheetMark::None) {
            // The voice's marks light and thin, the examiner's bold: told apart at a glance.
            const bool byVoice = !given.byExaminer[std::size_t(item)];
            QFont symbol = large;
            symbol.setBold(!byVoice);
            painter.setFont(symbol);
            painter.setPen(mark == SheetMark::Correct ? (byVoice ? QColor(90, 170, 90) : QColor(0, 120, 0))
                                                      : (byVoice ? QColor(225, 110, 110) : QColor(190, 0, 0)));
            painter.drawText(cell.adjusted(0, 0, -2, 0), Qt::AlignRight | Qt::AlignVCenter,
                             mark == SheetMark::Correct ? QStringLiteral("\u2713") : QStringLiteral("\u2717"));
        }
        if (item == cursor) {
            painter.setPen(QPen(QColor(0, 70, 200), 2));
            painter.drawRect(cell.adjusted(2, 2, -2, -2));
        }
    }
}

void SheetGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(arialFont(10));
    const std::optional<RecordSheet::Answer> awaited = sheet_.awaited();
    const bool here = awaited && awaited->administration == marking_.viewed();
    paintMarks(painter, QRectF(0, 0, kColumns * kCellWidth, 6 * kCellHeight), marking_.shown(), here ? awaited->item : -1,
               hasFocus() ? marking_.cursor() : -1);
}

void SheetGrid::moveCursor(int by)
{
    marking_.moveCursor(by);
    update();
}

void SheetGrid::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space: marking_.mark(SheetMark::Correct); break;
    case Qt::Key_X: marking_.mark(SheetMark::Wrong); break;
    case Qt::Key_Backspace: sheet_.takeBack(); break;
    case Qt::Key_H:
        emit hearAgain({marking_.viewed(), marking_.cursor()});
        break;
    case Qt::Key_Left: moveCursor(-1); break;
    case Qt::Key_Right: moveCursor(1); break;
    case Qt::Key_Up: moveCursor(-kColumns); break;
    case Qt::Key_Down: moveCursor(kColumns); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void SheetGrid::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const int column = int(event->position().x()) / kCellWidth, row = int(event->position().y()) / kCellHeight;
    if (column < kColumns)
        marking_.click(row * kColumns + column);
}
