#include "recordsheet/SheetGrid.h"

#include "ui/Fonts.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Narrow enough for the window to fit beside the main window on a screen 1280 pixels wide.
constexpr int kCellWidth = 42, kCellHeight = 40;

}  // namespace

SheetGrid::SheetGrid(RecordSheet& sheet, QWidget* parent) : QWidget(parent), sheet_(sheet)
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
    viewed_ = administration;
    cursor_ = std::min(cursor_, int(shown().sums.size()) - 1);
    update();
}

const SheetAdministration& SheetGrid::shown() const
{
    return viewed_ >= 0 && viewed_ < int(sheet_.administrations().size()) ? sheet_.administrations()[std::size_t(viewed_)]
                                                                           : sheet_.chosen();
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
        painter.fillRect(cell, item == awaited ? QColor(255, 236, 140) : QColor(Qt::white));
        painter.setPen(QPen(Qt::gray, 0));
        painter.drawRect(cell);
        painter.setPen(Qt::black);
        painter.setFont(small);
        painter.drawText(cell.adjusted(3, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString::number(item + 1));
        painter.setFont(large);
        // The sum in the middle, the mark in the right third.
        painter.drawText(cell.adjusted(width * 0.18, 0, -width * 0.3, 0), Qt::AlignCenter,
                         QString::number(given.sums[std::size_t(item)]));
        const SheetMark mark = given.marks[std::size_t(item)];
        if (mark != SheetMark::None) {
            painter.setPen(mark == SheetMark::Correct ? QColor(0, 120, 0) : QColor(190, 0, 0));
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
    const bool here = awaited && awaited->administration == viewed_;
    paintMarks(painter, QRectF(0, 0, kColumns * kCellWidth, 6 * kCellHeight), shown(), here ? awaited->item : -1,
               hasFocus() ? cursor_ : -1);
}

void SheetGrid::mark(SheetMark mark)
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

void SheetGrid::moveCursor(int by)
{
    // While a run awaits an answer here, the first move goes from that answer.
    const std::optional<RecordSheet::Answer> awaited = sheet_.awaited();
    if (awaited && awaited->administration == viewed_ && movedWhile_ != awaited)
        cursor_ = awaited->item;
    const int next = cursor_ + by;
    if (next >= 0 && next < int(shown().sums.size()))
        cursor_ = next;
    movedWhile_ = awaited;
    update();
}

void SheetGrid::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space: mark(SheetMark::Correct); break;
    case Qt::Key_X: mark(SheetMark::Wrong); break;
    case Qt::Key_Backspace: sheet_.takeBack(); break;
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
    const int item = row * kColumns + column;
    if (column >= kColumns || item >= int(shown().sums.size()) || viewed_ < 0)
        return;
    cursor_ = item;
    const SheetMark now = shown().marks[std::size_t(item)];
    sheet_.setMark({viewed_, item}, now == SheetMark::None ? SheetMark::Correct : now == SheetMark::Correct ? SheetMark::Wrong : SheetMark::None);
}
