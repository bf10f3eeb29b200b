#include "recordsheet/SheetResults.h"

#include "protocol/Paces.h"
#include "recordsheet/SheetCounts.h"
#include "recordsheet/SheetListening.h"
#include "scoring/ScoreComputation.h"

SheetResults::SheetResults(const RecordSheet& sheet, std::uint8_t ageGroup)
{
    const std::vector<SheetAdministration>& all = sheet.administrations();
    for (int pace = 0; pace < kPaceCount; ++pace)
        for (int n = 0; n < int(all.size()); ++n) {
            const SheetAdministration& given = all[std::size_t(n)];
            if (!given.isTrial() || given.pace != pace)
                continue;
            Row row{&given, sheet.superseded(n), sheet.ordinal(n), {}, {}};
            const int raw = SheetCounts::of(given).correct;
            if (const auto score = scoreTrial(trialCode(pace), ageGroup, QString::number(raw))) {
                row.zScore = formatZScore(score->zScore);
                row.percentile = formatPercentile(score->percentile);
            }
            rows_.push_back(row);
        }
}

namespace {

// Answers not presented are said only of an administration that has ended short of them.
int notGivenOf(const SheetAdministration& given, const SheetCounts& counts)
{
    return given.ended ? counts.notGiven : 0;
}

}  // namespace

QString SheetResults::trialLine(const SheetAdministration& given)
{
    const SheetCounts counts = SheetCounts::of(given);
    const QString onTime = !given.onTime ? QStringLiteral("not known") : *given.onTime ? QStringLiteral("yes") : QStringLiteral("no");
    const int notGiven = notGivenOf(given, counts);
    return QStringLiteral("%1: correct %2, wrong %3, no answer %4, %5dyads %6, on time: %7")
        .arg(given.name()).arg(counts.correct).arg(counts.wrong).arg(counts.noAnswer)
        .arg(notGiven ? QStringLiteral("not given %1, ").arg(notGiven) : QString()).arg(counts.dyads).arg(onTime);
}

QString SheetResults::latencyLine(const SheetAdministration& given)
{
    if (!given.listened())
        return {};
    const SheetListening heard = SheetListening::of(given);
    const QString latency = heard.median ? QStringLiteral("median %1 ms, IQR %2-%3 ms, answers %4")
                                               .arg(std::lround(*heard.median)).arg(std::lround(*heard.lowerQuartile))
                                               .arg(std::lround(*heard.upperQuartile)).arg(heard.answers)
                                         : QStringLiteral("no answer heard");
    return QStringLiteral("%1 latency: %2, voice marks %3, changed %4").arg(given.name(), latency).arg(heard.voiceMarks).arg(heard.changed);
}

QString SheetResults::countsLine(const SheetAdministration& given)
{
    const SheetCounts counts = SheetCounts::of(given);
    QString text = QStringLiteral("Correct %1   Wrong %2   No answer %3   Dyads %4   Longest run %5")
                       .arg(counts.correct).arg(counts.wrong).arg(counts.noAnswer).arg(counts.dyads).arg(counts.longestRun);
    if (const int notGiven = notGivenOf(given, counts))
        text += QStringLiteral("   Not given %1").arg(notGiven);
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
    if (row.administration > 1)
        said << QStringLiteral("given again: %1 administration").arg(ordinalName(row.administration));
    for (const SheetAdministration::Pause& pause : row.given->pauses)
        if (pause.to)
            said << QStringLiteral("paused after digit %1 for %2").arg(pause.afterDigits).arg(lengthInWords(*pause.to - pause.from));
    if (!row.given->finished())
        said << QString::fromLatin1(row.given->ended     ? "stopped after %1 of %2 digits"
                                    : row.given->running ? "under way: %1 of %2 digits given"
                                                         : "paused after %1 of %2 digits")
                    .arg(row.given->heard.size()).arg(row.given->sums.size() + 1);
    return said.join(QStringLiteral("; "));
}

QString SheetResults::ordinalName(int n)
{
    const int last = n % 10, tens = n % 100 / 10;
    const char* suffix = tens == 1 || last == 0 || last > 3 ? "th" : last == 1 ? "st" : last == 2 ? "nd" : "rd";
    return QString::number(n) + QLatin1String(suffix);
}

QString SheetResults::lengthInWords(SteadyTime::duration length)
{
    const auto seconds = std::chrono::round<std::chrono::seconds>(length).count();
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    return seconds % 60 ? QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60) : QStringLiteral("%1 min").arg(seconds / 60);
}

QString SheetResults::rowName(const Row& row) const
{
    const bool alone = row.administration == 1 && !row.earlier;
    return alone ? row.given->name() : QStringLiteral("%1 (%2 administration)").arg(row.given->name(), ordinalName(row.administration));
}

QString SheetResults::table() const
{
    QStringList lines{QStringLiteral("Trial\tRaw score\tZ\t%ile\tWrong\tNo answer\tNot given\tDyads\tLongest run\t"
                                     "Correct 1-20\tCorrect 21-40\tCorrect 41-60\tDelivery\tRemarks")};
    const bool listened = std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return row.given->listened(); });
    if (listened)
        lines[0] += QStringLiteral("\tLatency median ms\tLatency Q1 ms\tLatency Q3 ms\tAnswers heard\tVoice marks\tChanged");
    for (const Row& row : rows_) {
        const SheetCounts counts = SheetCounts::of(*row.given);
        QStringList cells{rowName(row), QString::number(counts.correct), row.zScore, row.percentile,
                          QString::number(counts.wrong), QString::number(counts.noAnswer),
                          QString::number(notGivenOf(*row.given, counts)), QString::number(counts.dyads),
                          QString::number(counts.longestRun)};
        for (int third : counts.thirds)
            cells << QString::number(third);
        cells << row.given->deliveryInWords() << remarks(row);
        if (listened) {
            const SheetListening heard = SheetListening::of(*row.given);
            const auto ms = [](std::optional<double> value) { return value ? QString::number(std::lround(*value)) : QString(); };
            cells << ms(heard.median) << ms(heard.lowerQuartile) << ms(heard.upperQuartile) << QString::number(heard.answers)
                  << QString::number(heard.voiceMarks) << QString::number(heard.changed);
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
