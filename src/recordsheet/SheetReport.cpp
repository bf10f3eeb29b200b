#include "recordsheet/SheetReport.h"

#include "protocol/AgeGroups.h"
#include "recordsheet/SheetCounts.h"
#include "recordsheet/SheetGrid.h"
#include "ui/PaperSize.h"

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

SheetReport::SheetReport(const RecordSheet& sheet, const Particulars& particulars)
    : sheet_(sheet), particulars_(particulars), results_(sheet, sheet.ageGroup())
{
}

QStringList SheetReport::heading() const
{
    QStringList lines{QStringLiteral("%1: %2").arg(particulars_.printed ? QStringLiteral("Printed") : QStringLiteral("Saved"),
                                                   particulars_.when.toString(QStringLiteral("yyyy-MM-dd HH:mm")))};
    if (!particulars_.examiner.trimmed().isEmpty())
        lines << QStringLiteral("Examiner: %1").arg(particulars_.examiner.trimmed());
    if (!particulars_.examinee.trimmed().isEmpty())
        lines << QStringLiteral("Examinee: %1").arg(particulars_.examinee.trimmed());
    lines << QStringLiteral("Age group: %1").arg(ageGroupName(sheet_.ageGroup()));
    for (const SheetAdministration& given : sheet_.administrations())
        if (!given.isTrial() && !given.notes.trimmed().isEmpty())
            lines << QStringLiteral("Notes on the %1 started %2: %3")
                         .arg(given.name().toLower(), given.started.toString(QStringLiteral("HH:mm")), given.notes.simplified());
    if (results_.rows().empty())
        lines << QStringLiteral("No trial was given.");
    return lines;
}

QStringList SheetReport::trialText(const SheetResults::Row& row) const
{
    const SheetCounts counts = SheetCounts::of(*row.given);
    const QString remarks = SheetResults::remarks(row);
    QString scores = QStringLiteral("Raw score %1").arg(counts.correct);
    if (!row.zScore.isEmpty())
        scores += QStringLiteral(", z %1, percentile %2").arg(row.zScore, row.percentile);
    QStringList text{results_.rowName(row) + (remarks.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(remarks)),
                     scores + QStringLiteral("; longest run %1; correct in items 1-20: %2, 21-40: %3, 41-60: %4")
                                  .arg(counts.longestRun).arg(counts.thirds[0]).arg(counts.thirds[1]).arg(counts.thirds[2]),
                     QStringLiteral("Started %1; delivery: %2")
                         .arg(row.given->started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), row.given->deliveryInWords())};
    if (!row.given->notes.trimmed().isEmpty())
        text << QStringLiteral("Notes: %1").arg(row.given->notes.simplified());
    text << SheetResults::trialLine(*row.given);
    if (const QString latency = SheetResults::latencyLine(*row.given); !latency.isEmpty())
        text << latency;
    return text;
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
    const std::vector<SheetResults::Row>& rows = results_.rows();
    // Only where a notice named a digit of a trial reported.
    if (std::any_of(rows.begin(), rows.end(), [](const SheetResults::Row& row) { return row.given->onTime == false; })) {
        painter.setFont(sans(device, 7.5));
        painter.drawText(QPointF(page.left(), y += 12),
                         QStringLiteral("Answer n is the sum of digits n and n + 1: a digit that a notice names, say digit 37, "
                                        "touches two answers, 36 and 37."));
    }
    y += 8;
    // The trials share the page. Past what it holds with a grid of legible size, each keeps that
    // least room and the rest go over the page: a report leaves out no trial's marks.
    constexpr double kLeastBlock = 4 * 11 + 10 + 90;
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
    pdf.setPageLayout(QPageLayout(paperSize(), QPageLayout::Portrait, QMarginsF()));
    pdf.setResolution(300);
    return paint(pdf);
}
