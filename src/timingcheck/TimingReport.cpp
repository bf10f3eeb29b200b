#include "timingcheck/TimingReport.h"

#include "timingcheck/OnsetPlot.h"
#include "ui/PaperSize.h"

#include <QDateTime>
#include <QPainter>
#include <QPdfWriter>

bool TimingReport::write(const QString& path, const OnsetPlot& plot) const
{
    QPdfWriter pdf(path);
    pdf.setPageSize(paperSize());
    pdf.setResolution(300);
    pdf.setTitle(QStringLiteral("OVREL sound timing check"));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    QFont font(QStringLiteral("Liberation Sans"), 11);
    painter.setFont(font);
    const QRect page = painter.viewport().adjusted(150, 150, -150, -150);
    const int line = painter.fontMetrics().lineSpacing();
    int top = page.top();
    const auto say = [&](const QString& text, bool bold = false) {
        QFont f = font;
        f.setBold(bold);
        painter.setFont(f);
        const QRect bounds = painter.boundingRect(QRect(page.left(), top, page.width(), page.height()), Qt::TextWordWrap, text);
        painter.drawText(bounds, Qt::TextWordWrap, text);
        top = bounds.bottom() + line / 3;
    };
    say(QStringLiteral("OVREL sound timing check"), true);
    say(QStringLiteral("Date: %1").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    say(QStringLiteral("Sound output: %1").arg(soundOutput));
    say(QStringLiteral("Output: %1").arg(output));
    if (!input.isEmpty())
        say(QStringLiteral("Input: %1").arg(input));
    say(QStringLiteral("Recorded: %1").arg(listenedTo));
    top += line;
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    plot.draw(painter, QRectF(page.left(), top, page.width(), page.width() * 0.5));
    top += int(page.width() * 0.5) + line;
    for (const QString& figure : figures)
        say(figure);
    top += line / 2;
    say(verdict);
    return painter.end();
}
