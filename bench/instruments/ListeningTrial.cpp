#include "ListeningTrial.h"

#include "SinkRecorder.h"
#include "app/MainWindow.h"
#include "protocol/DigitLists.h"
#include "recordsheet/RecordSheetWindow.h"
#include "session/TestSession.h"
#include "sound/Median.h"
#include "timingcheck/DigitLocator.h"

#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <ctime>

using Says = ExamineeMouth::Says;

namespace {

constexpr double kRate = 44100;

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

template <class T>
T* child(QWidget* in, const char* name) { return in->findChild<T*>(QLatin1String(name)); }

}  // namespace

std::vector<ExamineeMouth::Answer> ListeningTrial::plan(int items, int paceMs, bool late)
{
    static const Says kinds[] = {Says::Right, Says::Right, Says::Wrong, Says::Nothing, Says::Right,
                                 Says::Cough, Says::Right, Says::DontKnow, Says::SelfCorrection, Says::Right};
    std::vector<ExamineeMouth::Answer> answers;
    for (int item = 0; item < items; ++item) {
        const Says says = kinds[item % 10];
        const int latency = says == Says::SelfCorrection ? 350 : late && item % 10 == 4 ? paceMs - 250 : 450 + (item * 137) % 450;
        answers.push_back({says, latency});
    }
    return answers;
}

ListeningTrial::Given ListeningTrial::give(MainWindow& main, int paceMs, bool late, const ExamineeMouth::Speech& speech, bool recordSink)
{
    Given given;
    child<QAction>(&main, "recordSheetAction")->trigger();
    RecordSheetWindow& sheetWindow = *main.recordSheetWindow();
    auto* listen = child<QCheckBox>(&sheetWindow, "listenBox");
    if (!listen->isChecked())
        listen->click();
    const auto fail = [&](const QString& fault) {
        given.fault = fault;
        if (listen->isChecked())
            listen->click();
        return given;
    };
    if (!listen->isChecked())
        return fail(QStringLiteral("Listen would not turn on"));

    given.sums = SheetAdministration(ItemSet::Trial, paceMs == 2400 ? 0 : 3).sums;
    given.plan = plan(int(given.sums.size()), paceMs, late);
    ExamineeMouth mouth(given.sums, given.plan, speech);
    SinkRecorder sink;
    // The examinee's recording starts last, as near the trial's start as may be: the digits are
    // looked for within its first seconds (DigitLocator::locateSequence).
    if ((recordSink && !sink.start()) || !mouth.start())
        return fail(QStringLiteral("the examinee's streams or the sink's recorder would not start"));
    const QMetaObject::Connection hearing = QObject::connect(&main.session(), &TestSession::digitPlayed, &mouth,
        [&](SteadyTime, SteadyTime heard) { mouth.digitHeard(given.digitsPlayed++, heard); });
    // When each answer was decided, against its window's end.
    given.decidedAfterMs.assign(given.sums.size(), NAN);
    RecordSheet& sheet = main.recordSheet();
    const std::size_t administration = sheet.administrations().size();
    const QMetaObject::Connection deciding = QObject::connect(&sheet, &RecordSheet::changed, &mouth, [&] {
        if (sheet.administrations().size() <= administration)
            return;
        const SheetAdministration& now = sheet.administrations().back();
        for (std::size_t item = 0; item < now.voice.size() && item < given.sums.size(); ++item)
            if (now.voice[item] && std::isnan(given.decidedAfterMs[item]))
                if (const auto window = sheet.window({int(administration), int(item)}))
                    given.decidedAfterMs[item] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - window->to).count();
    });

    child<QRadioButton>(&main, paceMs == 2400 ? "pace24Button" : "pace12Button")->click();
    const double cpuFrom = processCpuSeconds();
    const SteadyTime wallFrom = std::chrono::steady_clock::now();
    child<QToolButton>(&main, "startStopButton")->click();
    const auto ended = [&] { return sheet.administrations().size() > administration && sheet.administrations().back().ended; };
    const bool ran = QTest::qWaitFor(ended, 61 * paceMs + 5000);
    given.cpuPercent = 100 * (processCpuSeconds() - cpuFrom)
                       / std::chrono::duration<double>(std::chrono::steady_clock::now() - wallFrom).count();
    const auto decided = [&] {
        return std::none_of(given.decidedAfterMs.begin(), given.decidedAfterMs.end(), [](double d) { return std::isnan(d); });
    };
    const bool allDecided = ran && QTest::qWaitFor(decided, 10000);
    const bool delivered = ran && QTest::qWaitFor([&] { return sheet.administrations().back().onTime.has_value(); }, 10000);
    QObject::disconnect(hearing);
    QObject::disconnect(deciding);
    given.heard = mouth.stop();
    if (recordSink)
        given.sink = sink.stop();
    if (ran)
        given.sheet = sheet.administrations().back();
    if (!ran || !allDecided || !delivered)
        return fail(!ran ? QStringLiteral("the trial did not end") : !allDecided ? QStringLiteral("not every item was decided")
                                                                     : QStringLiteral("the run's delivery was never known"));
    listen->click();
    return given;
}

ListeningTrial::Score ListeningTrial::score(const Given& given, int paceMs, double rigDelayMs)
{
    Score score;
    const double pace = paceMs / 1000.0 * kRate;
    // The digits left the sink on their pace: where the microphone got them follows from those it
    // got whole, unspoken over, as the median of their places off the pace; how far those stray
    // from it tells whether the rig's loopback kept its delay.
    // The first digit is looked for within the recording's first seconds, and comes a pace after
    // the start: at the slower paces the recording is looked at from a second before that.
    const long long skipped = std::max(0LL, (long long)(pace - kRate));
    const std::vector<DigitLocator::Found> digits = DigitLocator().locateSequence(
        given.heard.recording.mid(skipped * 4), std::vector<int>(kTrialDigits.begin(), kTrialDigits.end()), pace);
    std::vector<double> offPace;
    for (std::size_t n = 0; n < digits.size(); ++n)
        if (digits[n].match >= 0.9)
            offPace.push_back(double(digits[n].sample + skipped) - double(n) * pace);
    score.wholeDigits = int(offPace.size());
    const double firstDigit = offPace.empty() ? NAN : median(offPace);
    if (!offPace.empty()) {
        const auto [fewest, most] = std::minmax_element(offPace.begin(), offPace.end());
        score.strayFromMs = (*fewest - firstDigit) * 1000 / kRate;
        score.strayToMs = (*most - firstDigit) * 1000 / kRate;
    }
    for (std::size_t item = 0; item < given.sums.size() && item < given.sheet.voice.size(); ++item) {
        const SheetVoice voice = given.sheet.voice[item].value_or(SheetVoice{});
        const ExamineeMouth::Answer answer = given.plan[item];
        const std::optional<int> expected = ExamineeMouth::lastSum(answer.says, given.sums[item]);
        const bool saidSomethingElse = answer.says == Says::Cough || answer.says == Says::DontKnow;
        const bool right = voice.heard == expected;
        const bool asPlanned = right && voice.somethingSaid == saidSomethingElse
                               && voice.selfCorrection == (answer.says == Says::SelfCorrection);
        score.right += right ? 1 : 0;
        score.asPlanned += asPlanned ? 1 : 0;
        if (!asPlanned)
            score.missed << QStringLiteral("%1 (%2 heard %3%4)").arg(item + 1).arg(int(answer.says)).arg(voice.heard.value_or(-1))
                                .arg(voice.flags().isEmpty() ? QString() : QStringLiteral(", ") + voice.flags());
        // Where nothing was said, nothing may be heard: the digits at the microphone are no answer.
        if (answer.says == Says::Nothing && (voice.heard || voice.somethingSaid))
            ++score.fromDigits;
        // Where one answer is spoken over the end of the one before, it may not be found to the
        // frame: its onset is not known, and the item not compared.
        const bool onsetKnown = given.heard.matches[item] >= 0.7;
        score.unknownOnsets += onsetKnown || answer.says == Says::Nothing ? 0 : 1;
        if (ExamineeMouth::firstSum(answer.says, given.sums[item]) && voice.latencyMs && onsetKnown && std::isfinite(firstDigit)) {
            const double trueMs = (double(given.heard.onsets[item]) - firstDigit - double(item + 1) * pace) * 1000 / kRate + rigDelayMs;
            score.errors.push_back(*voice.latencyMs - trueMs);
            if (qEnvironmentVariableIsSet("OVREL_LISTEN_ITEMS"))
                qInfo("item %zu: planned %d, true %.1f, measured %.1f ms", item + 1, answer.latencyMs, trueMs, *voice.latencyMs);
        }
    }
    return score;
}

double ListeningTrial::quantile(std::vector<double> values, double q)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    return values[std::size_t(q * double(values.size() - 1))];
}
