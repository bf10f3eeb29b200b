#include "recordsheet/SheetReport.h"

#include "protocol/AgeGroups.h"
#include "recordsheet/SheetCounts.h"
#include "recordsheet/SheetGrid.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace {

// On a painter scaled to points: a font's size is reckoned on the device, then scaled with the rest.
QFont sans(const QPaintDevice& device, double points, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points * 72.0 / device.logicalDpiY());
    font.setBold(bold);
    return font;
}

}  // namespace

SheetReport::SheetReport(const RecordSheet& sheet, std::uint8_t ageGroup, const QString& examinee, const QDateTime& when)
    : sheet_(sheet), ageGroup_(ageGroup), examinee_(examinee), when_(when), results_(sheet, ageGroup)
{
}

QStringList SheetReport::heading() const
{
    QStringList lines{QStringLiteral("Date: %1").arg(when_.toString(QStringLiteral("yyyy-MM-dd HH:mm")))};
    if (!examinee_.trimmed().isEmpty())
        lines << QStringLiteral("Examinee: %1").arg(examinee_.trimmed());
    lines << QStringLiteral("Age group: %1").arg(ageGroupName(ageGroup_));
    if (results_.rows().empty())
        lines << QStringLiteral("No trial was given.");
    return lines;
}

QStringList SheetReport::trialText(const SheetResults::Row& row) const
{
    const SheetCounts counts = SheetCounts::of(row.given->marks);
    const QString remarks = SheetResults::remarks(row);
    QString scores = QStringLiteral("Raw score %1").arg(counts.correct);
    if (!row.zScore.isEmpty())
        scores += QStringLiteral(", z %1, percentile %2").arg(row.zScore, row.percentile);
    return {row.given->name() + (remarks.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(remarks)),
            scores + QStringLiteral("; longest run %1; correct in items 1-20: %2, 21-40: %3, 41-60: %4")
                         .arg(counts.longestRun).arg(counts.thirds[0]).arg(counts.thirds[1]).arg(counts.thirds[2]),
            QStringLiteral("Delivery: %1").arg(row.given->deliveryInWords()),
            SheetResults::trialLine(*row.given)};
}

bool SheetReport::paint(QPagedPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // In points, on any device.
    const double scale = device.logicalDpiX() / 72.0;
    painter.scale(scale, scale);
    const QRectF page(36, 36, device.width() / scale - 72, device.height() / scale - 72);
    painter.setFont(sans(device, 15, true));
    double y = page.top() + 16;
    painter.drawText(QPointF(page.left(), y), QStringLiteral("OVREL Record Sheet"));
    painter.setFont(sans(device, 9.5));
    for (const QString& line : heading())
        painter.drawText(QPointF(page.left(), y += 14), line);
    painter.setFont(sans(device, 7.5));
    painter.drawText(QPointF(page.left(), y += 12),
                     QStringLiteral("Answer n is the sum of digits n and n + 1: a digit that a notice names, say digit 37, "
                                    "touches two answers, 36 and 37."));
    y += 8;
    // The trials share the page. Past what it holds with a grid of legible size, each keeps that
    // least room and the rest go over the page: a report leaves out no trial's marks.
    constexpr double kLeastBlock = 4 * 11 + 10 + 100;
    const std::vector<SheetResults::Row>& rows = results_.rows();
    const double block = rows.empty() ? 0 : std::max((page.bottom() - y) / double(rows.size()), kLeastBlock);
    for (const SheetResults::Row& row : rows) {
        if (y + block > page.bottom() + 1) {
            if (!device.newPage())
                return false;
            y = page.top();
        }
        const QStringList text = trialText(row);
        double line = y;
        painter.setFont(sans(device, 9.5, true));
        painter.drawText(QPointF(page.left(), line += 11), text[0]);
        painter.setFont(sans(device, 8.5));
        for (int n = 1; n < text.size(); ++n)
            painter.drawText(QPointF(page.left(), line += 11), text[n]);
        const double gridHeight = std::min(block - (line - y) - 10, 6 * 22.0);
        SheetGrid::paintMarks(painter, QRectF(page.left(), line + 5, gridHeight / 6 * 1.55 * SheetGrid::kColumns, gridHeight),
                              *row.given, -1, -1);
        y += block;
    }
    return painter.end();
}

bool SheetReport::writePdf(const QString& path) const
{
    QPdfWriter pdf(path);
    pdf.setTitle(QStringLiteral("OVREL Record Sheet"));
    pdf.setCreator(QStringLiteral("OVREL"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    pdf.setResolution(300);
    return paint(pdf);
}
