// Makes the one-page record form (US Letter PDF) from the program's own digit list, so that the
// sums on paper can never disagree with the digits that are played:
//   make_record_form <output.pdf>
#include "protocol/DigitLists.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr int kColumns = 10;
constexpr double kPageWidth = 612, kMargin = 40;  // points

QFont sans(double points, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void line(QPainter& p, double x, double y, double width)
{
    p.drawLine(QPointF(x, y), QPointF(x + width, y));
}

// One trial: its heading, the 60 expected sums in order, numbered as on the screen's record
// sheet (each with a box to mark the answer), the lines for the raw score, the z-score and the
// percentile, and one for notes. Returns the height used.
double trialBlock(QPainter& p, double top, int number, const char* pace)
{
    p.setFont(sans(10.5, true));
    p.drawText(QPointF(kMargin, top + 11), QStringLiteral("Trial %1 (%2 s)").arg(number).arg(QLatin1String(pace)));
    const double cellWidth = (kPageWidth - 2 * kMargin) / kColumns, rowHeight = 15;
    for (std::size_t i = 1; i < kTrialDigits.size(); ++i) {
        const int cell = int(i) - 1;
        const double x = kMargin + (cell % kColumns) * cellWidth;
        const double y = top + 16 + (cell / kColumns) * rowHeight;
        p.setFont(sans(6.5));
        p.drawText(QRectF(x, y, cellWidth * 0.2, 13), Qt::AlignLeft | Qt::AlignVCenter, QString::number(cell + 1));
        p.setFont(sans(10));
        p.drawText(QRectF(x, y, cellWidth * 0.45, 13), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(kTrialDigits[i - 1] + kTrialDigits[i]));
        p.drawRect(QRectF(x + cellWidth * 0.5, y + 1, 11, 11));
    }
    double y = top + 16 + 6 * rowHeight + 14;
    p.setFont(sans(10, true));
    p.drawText(QPointF(kMargin, y), QStringLiteral("Raw score"));
    line(p, kMargin + 60, y + 2, 40);
    p.setFont(sans(10));
    p.drawText(QPointF(kMargin + 105, y), QStringLiteral("of 60 correct"));
    p.drawText(QPointF(kMargin + 200, y), QStringLiteral("z-score"));
    p.drawRect(QRectF(kMargin + 240, y - 11, 50, 15));
    p.drawText(QPointF(kMargin + 310, y), QStringLiteral("Percentile"));
    p.drawRect(QRectF(kMargin + 365, y - 11, 50, 15));
    y += 17;
    p.setFont(sans(8.5));
    p.drawText(QPointF(kMargin, y), QStringLiteral("Notes (pauses, notices, anything else off standard administration)"));
    line(p, kMargin + 290, y + 2, kPageWidth - 2 * kMargin - 290);
    return y + 8 - top;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QPdfWriter pdf(QString::fromLocal8Bit(argv[1]));
    pdf.setTitle(QStringLiteral("OVREL Record Form"));
    pdf.setCreator(QStringLiteral("OVREL"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    pdf.setResolution(72);  // one unit is one point
    QPainter p(&pdf);
    p.setPen(QPen(Qt::black, 0.8));

    p.setFont(sans(16, true));
    p.drawText(QPointF(kMargin, 52), QStringLiteral("OVREL Record Form"));
    p.setFont(sans(10));
    double y = 78;
    p.drawText(QPointF(kMargin, y), QStringLiteral("Name"));
    line(p, kMargin + 32, y + 2, 230);
    p.drawText(QPointF(kMargin + 290, y), QStringLiteral("Date"));
    line(p, kMargin + 318, y + 2, 214);
    y += 22;
    p.drawText(QPointF(kMargin, y), QStringLiteral("Age group"));
    const char* groups[] = {"16-29", "30-49", "50-69"};
    for (int g = 0; g < 3; ++g) {
        const double x = kMargin + 70 + g * 80;
        p.drawRect(QRectF(x, y - 9, 10, 10));
        p.drawText(QPointF(x + 15, y), QLatin1String(groups[g]));
    }
    y += 18;
    p.setFont(sans(8.5));
    p.drawText(QRectF(kMargin, y, kPageWidth - 2 * kMargin, 30), Qt::TextWordWrap,
               QStringLiteral("The examinee adds each digit to the one before and says the sum. Tick the box of "
                              "every correct sum; the raw score of a trial is the number of ticks. Answer n adds "
                              "digits n and n + 1, so a late digit 37, as a notice after a run names it, touches "
                              "answers 36 and 37."));
    y += 34;
    const char* paces[] = {"2.4", "2.0", "1.6", "1.2"};
    for (int t = 0; t < 4; ++t)
        y += trialBlock(p, y, t + 1, paces[t]) + 8;
    return p.end() ? 0 : 1;
}
