#include "recordsheet/SheetResults.h"

#include "protocol/Paces.h"
#include "recordsheet/SheetCounts.h"
#include "scoring/ScoreComputation.h"

SheetResults::SheetResults(const RecordSheet& sheet, std::uint8_t ageGroup)
{
    const std::vector<SheetAdministration>& all = sheet.administrations();
    for (int pace = 0; pace < kPaceCount; ++pace)
        for (int n = 0; n < int(all.size()); ++n) {
            const SheetAdministration& given = all[std::size_t(n)];
            if (!given.isTrial() || given.pace != pace)
                continue;
            Row row{&given, sheet.superseded(n), {}, {}};
            const int raw = SheetCounts::of(given.marks).correct;
            if (const auto score = scoreTrial(trialCode(pace), ageGroup, QString::number(raw))) {
                row.zScore = formatZScore(score->zScore);
                row.percentile = formatPercentile(score->percentile);
            }
            rows_.push_back(row);
        }
}

QString SheetResults::trialLine(const SheetAdministration& given)
{
    const SheetCounts counts = SheetCounts::of(given.marks);
    const QString onTime = !given.onTime ? QStringLiteral("not known") : *given.onTime ? QStringLiteral("yes") : QStringLiteral("no");
    return QStringLiteral("%1: correct %2, wrong %3, no answer %4, dyads %5, on time: %6")
        .arg(given.name()).arg(counts.correct).arg(counts.wrong).arg(counts.noAnswer).arg(counts.dyads).arg(onTime);
}

QString SheetResults::countsLine(const SheetAdministration& given)
{
    const SheetCounts counts = SheetCounts::of(given.marks);
    QString text = QStringLiteral("Correct %1   Wrong %2   No answer %3   Dyads %4   Longest run %5")
                       .arg(counts.correct).arg(counts.wrong).arg(counts.noAnswer).arg(counts.dyads).arg(counts.longestRun);
    if (given.isTrial())
        text += QStringLiteral("\nCorrect in items 1-20: %1   21-40: %2   41-60: %3")
                    .arg(counts.thirds[0]).arg(counts.thirds[1]).arg(counts.thirds[2]);
    return text;
}

QString SheetResults::remarks(const Row& row)
{
    QStringList said;
    if (row.earlier)
        said << QStringLiteral("earlier administration, given again");
    if (row.given->paused)
        said << QStringLiteral("paused and continued");
    if (!row.given->finished())
        said << QString::fromLatin1(row.given->ended     ? "stopped after %1 of %2 digits"
                                    : row.given->running ? "under way: %1 of %2 digits given"
                                                         : "paused after %1 of %2 digits")
                    .arg(row.given->heard.size()).arg(row.given->sums.size() + 1);
    return said.join(QStringLiteral("; "));
}

QString SheetResults::table() const
{
    QStringList lines{QStringLiteral("Trial\tRaw score\tZ\t%ile\tWrong\tNo answer\tDyads\tLongest run\t"
                                     "Correct 1-20\tCorrect 21-40\tCorrect 41-60\tDelivery\tRemarks")};
    for (const Row& row : rows_) {
        const SheetCounts counts = SheetCounts::of(row.given->marks);
        QStringList cells{row.given->name(), QString::number(counts.correct), row.zScore, row.percentile,
                          QString::number(counts.wrong), QString::number(counts.noAnswer), QString::number(counts.dyads),
                          QString::number(counts.longestRun)};
        for (int third : counts.thirds)
            cells << QString::number(third);
        cells << row.given->deliveryInWords() << remarks(row);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
