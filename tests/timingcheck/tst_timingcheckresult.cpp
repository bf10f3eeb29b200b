#include "RoomSimulation.h"
#include "SyntheticTake.h"
#include "timingcheck/TimingCheck.h"
#include "SequenceRecording.h"
#include "timingcheck/TimingCheckResult.h"
#include "timingcheck/TimingCheckVerdict.h"

#include <QTest>
#include <array>

using Found = DigitLocator::Found;
using Condition = TimingCheckResult::Condition;
using Level = DigitLocator::Level;

// The judgement of a check sequence of five digits 1.2 s apart from the digits found in its
// recording (one sample is 0.0227 ms), and of the check sequence made up as recorders and rooms
// take it; then the judgement in words.
class tst_TimingCheckResult : public QObject {
    Q_OBJECT

    static constexpr std::array<int, 5> kSequence{2, 7, 5, 1, 4};
    // The sequence found whole on its grid, 52920 samples apart, from sample 1000.
    static std::vector<Found> onGrid(std::span<const int> sequence = kSequence, long long pace = 52920)
    {
        std::vector<Found> found;
        for (int i = 0; i < int(sequence.size()); ++i)
            found.push_back({sequence[i], 1000 + pace * i, 0.999, false});
        return found;
    }
    // Of which the first three could not be made out.
    static std::vector<Found> noisy()
    {
        std::vector<Found> found = onGrid();
        for (int i = 0; i < 3; ++i)
            found[i].match = 0.3;
        return found;
    }
    // Each digit's problem, a letter a place: '.' none, 'm' missing, 'w' not whole, 't' off time.
    // Those heard whole are those on time or off it.
    static QString problems(const TimingCheckResult& result)
    {
        QString letters;
        for (const TimingCheckResult::Digit& digit : result.digits)
            letters += QLatin1Char(".mwt"[int(digit.problem)]);
        return letters;
    }

private slots:
    // Each sound is placed by its distance from the first, so that a missing digit leaves its
    // place empty; a second sound at a place (an echo) and one past the sequence count for none.
    void judgesEachDigit_data()
    {
        QTest::addColumn<std::vector<Found>>("found");
        QTest::addColumn<Level>("level");  // 16-bit peak and noise RMS
        QTest::addColumn<Condition>("condition");
        QTest::addColumn<QString>("problems");  // one letter a digit: see problems()
        QTest::addColumn<std::vector<double>>("errorsMs");
        QTest::addColumn<double>("largestMs");  // interval error
        QTest::addColumn<double>("driftMs");
        const Level loud{20000, 0};
        const std::vector<double> none(5, 0.0);
        std::vector<Found> found = onGrid();
        found[4].sample += 1;
        QTest::newRow("a sample off is on time") << found << loud << Condition::Judged << "....." << std::vector<double>{0, 0, 0, 0, 0.0227}
                                                 << 0.0227 << 0.0227;
        found = onGrid();
        found[2].sample += 3749;
        QTest::newRow("one late") << found << loud << Condition::Judged << "..t.." << std::vector<double>{0, 0, 85.011, 0, 0}
                                  << 85.011 << 0.0;
        found = onGrid();
        found.erase(found.begin() + 1);
        found[2].match = 0.47;  // digit 4 broken by a gap
        found[3].sample -= 88;
        QTest::newRow("missing, garbled, early") << found << loud << Condition::Judged << ".m.wt"
                                                 << std::vector<double>{0, NAN, 0, 0, -1.995} << 1.995 << -1.995;
        found = onGrid();
        found[3].digit = 9;
        found.insert(found.begin() + 3, Found{5, 1000 + 52920 * 2 + 900, 0.999, false});  // digit 3's echo
        found.push_back({9, 1000 + 52920 * 5, 0.999, false});
        QTest::newRow("another digit, an echo, one past the end") << found << loud << Condition::Judged << "...w." << none << 0.0 << 0.0;
        // Most digits not made out: unjudged, with no figures.
        QTest::newRow("too noisy") << noisy() << Level{20000, 400} << Condition::TooNoisy << "www.." << none << 0.0 << 0.0;
        QTest::newRow("neither") << noisy() << Level{20000, 100} << Condition::DigitsLost << "www.." << none << 0.0 << 0.0;
    }
    void judgesEachDigit()
    {
        QFETCH(std::vector<Found>, found);
        QFETCH(Level, level);
        QFETCH(std::vector<double>, errorsMs);
        QFETCH(double, largestMs);
        QFETCH(double, driftMs);
        const TimingCheckResult result = TimingCheckResult::judge(found, level, kSequence, 1200);
        QTEST(result.condition, "condition");
        QTEST(problems(result), "problems");
        QCOMPARE(result.found, int(problems(result).count(QLatin1Char('.')) + problems(result).count(QLatin1Char('t'))));
        for (int i = 0; i < 5; ++i) {
            const double error = result.digits[i].errorMs;
            QVERIFY2(std::isnan(errorsMs[i]) ? std::isnan(error) : std::fabs(error - errorsMs[i]) < 0.001, qPrintable(QString::number(error)));
        }
        QVERIFY(std::fabs(result.largestIntervalErrorMs - largestMs) < 0.001 && std::fabs(result.driftMs - driftMs) < 0.001);
    }

    // The check sequence made up from the digits' recordings as a recorder takes them: at the
    // volume slider's levels (the monitor carries the sound after the volume: 10, 25, 50 and
    // 100 % are -60, -36, -18 and 0 dB) and under the last bit (2 %), with digits late, over
    // noise, on a microphone's clock of its own. Whatever is judged has every digit found whole,
    // to the sample, and off its place by as much as it was put off (on its own clock, each digit
    // starts on the nearest frame: within a frame).
    void syntheticTakes_data()
    {
        QTest::addColumn<TakeConditions>("take");
        QTest::addColumn<bool>("microphone");
        QTest::addColumn<Condition>("condition");
        QTest::addColumn<double>("peakDb");  // to the dB: the digits peak 1 dB under the take's level; -inf: silent
        const Condition judged = Condition::Judged, quiet = Condition::TooQuiet;
        const std::vector<std::pair<int, long long>> late = {{4, 221}, {12, 88}};  // 5.01 and 2.00 ms
        for (double level : {0.0, -18.0, -36.0, -60.0})
            QTest::addRow("slider's %g dB", level) << TakeConditions{level, 0, -INFINITY, {}} << false << judged << level - 1;
        QTest::newRow("slider's 2 %, rounded") << TakeConditions{-102, 0, -INFINITY, {}} << false << quiet << -double(INFINITY);
        QTest::newRow("slider's 2 %, floored") << TakeConditions{-102, 0, -INFINITY, {}, 1, true} << false << quiet << -90.0;
        QTest::newRow("too quiet") << TakeConditions{-72, 0, -INFINITY, {}} << false << quiet << -73.0;
        QTest::newRow("too quiet, microphone") << TakeConditions{-66, 0, -INFINITY, {}} << true << quiet << -67.0;
        QTest::newRow("too noisy") << TakeConditions{0, 0, -20, {}} << false << Condition::TooNoisy << 0.0;
        QTest::newRow("two late") << TakeConditions{0, 0, -INFINITY, late} << false << judged << -1.0;
        QTest::newRow("two late, quiet") << TakeConditions{-36, 0, -INFINITY, late} << false << judged << -37.0;
        QTest::newRow("two late, microphone") << TakeConditions{0, 0, -INFINITY, late} << true << judged << -1.0;
        QTest::newRow("two late, microphone 200 ppm fast") << TakeConditions{0, 200, -INFINITY, late} << true << judged << -1.0;
        for (double ppm : {50.0, 200.0, -200.0})
            QTest::addRow("microphone %g ppm fast", ppm) << TakeConditions{-18, ppm, -INFINITY, {}} << true << judged << -19.0;
        QTest::newRow("microphone 1500 ppm fast") << TakeConditions{0, 1500, -INFINITY, {}} << true << judged << -1.0;
    }
    void syntheticTakes()
    {
        QFETCH(TakeConditions, take);
        QFETCH(bool, microphone);
        const SyntheticTake recording = syntheticTake(TimingCheck::sequence(), TimingCheck::kPaceMs, take);
        const TimingCheckResult result = TimingCheckResult::judge(recording.sound, DigitLocator(), TimingCheck::sequence(),
                                                                  TimingCheck::kPaceMs, microphone);
        QTEST(result.condition, "condition");
        const float peak = result.level.peak;
        QTEST(peak >= 1 ? std::round(20 * std::log10(peak / 32768)) : -double(INFINITY), "peakDb");
        if (!result.judged())
            return;
        QCOMPARE(result.found, 21);
        for (int i = 0; i < 21; ++i) {
            const auto put = std::find_if(take.late.begin(), take.late.end(), [&](const auto& l) { return l.first == i; });
            const double lateMs = put == take.late.end() ? 0 : double(put->second) * 1000 / 44100;
            const TimingCheckResult::Digit& digit = result.digits[i];
            QCOMPARE(digit.onset, recording.onsets[i]);
            QVERIFY2(std::fabs(digit.errorMs - lateMs) < (microphone ? 0.0227 : 1e-9), qPrintable(QString::number(digit.errorMs)));
            QCOMPARE(digit.problem, lateMs >= 1 ? TimingCheckResult::Problem::OffTime : TimingCheckResult::Problem::None);
        }
        QVERIFY2(microphone ? std::fabs(result.clockPpm - take.clockPpm) < 0.5 : std::isnan(result.clockPpm),
                 qPrintable(QString::number(result.clockPpm)));
    }

    // What a microphone hears in a room. Speaker mode finds sounds by their onsets, which steady
    // noise 40 dB under the speech leaves alone; microphone mode looks for each digit at its
    // place on the pace and still finds it to the sample (or near it, with echoes), and where it
    // cannot make digits out it does not call them on time.
    void roomsInEitherMode_data()
    {
        QTest::addColumn<double>("rt60");
        QTest::addColumn<double>("snrDb");
        QTest::addColumn<bool>("microphone");
        QTest::addColumn<double>("largestMs");  // all on time, the interval errors under this; 0: not all on time
        QTest::newRow("steady noise 40 dB under, speaker mode") << 0.0 << 40.0 << false << 0.001;
        QTest::newRow("steady noise 30 dB under, microphone mode") << 0.0 << 30.0 << true << 0.001;
        QTest::newRow("echoes and noise 30 dB under, microphone mode") << 0.3 << 30.0 << true << 0.075;
        QTest::newRow("noise 10 dB under, microphone mode") << 0.0 << 10.0 << true << 0.0;
    }
    void roomsInEitherMode()
    {
        QFETCH(double, rt60);
        QFETCH(double, snrDb);
        QFETCH(bool, microphone);
        QFETCH(double, largestMs);
        const QByteArray recording = inRoom(sequenceRecording(kSequence, 1200), rt60, snrDb, 1.0, 5);
        const TimingCheckResult result = TimingCheckResult::judge(recording, DigitLocator(), kSequence, 1200, microphone);
        QCOMPARE(result.allOnTime(), largestMs > 0);
        QVERIFY2(largestMs == 0 || result.largestIntervalErrorMs < largestMs, qPrintable(QString::number(result.largestIntervalErrorMs)));
    }

    // The latency from the speakers to the microphone, each recording started on its own: every
    // digit heard is paired with the last sent before it, and an echo taken for a digit or a
    // digit not made out cannot move the median.
    void latencyFromTheSpeakersToTheMicrophone_data()
    {
        QTest::addColumn<long long>("delay");  // samples, from the speakers to the microphone
        QTest::addColumn<double>("offset");    // s, from the microphone's first frame to the speakers'
        QTest::addColumn<int>("unclear");      // digits not made out
        QTest::addColumn<bool>("measured");
        QTest::newRow("recordings started together") << 551LL << 0.0 << 0 << true;
        QTest::newRow("speakers recorded 0.4 s later") << 551LL << 0.4 << 0 << true;
        QTest::newRow("speakers recorded 0.1 s earlier") << 8820LL << -0.1 << 0 << true;
        QTest::newRow("two digits not made out") << 551LL << 0.0 << 2 << true;
        QTest::newRow("most not made out") << 551LL << 0.0 << 3 << false;
        QTest::newRow("offset not known") << 551LL << double(NAN) << 0 << false;
    }
    void latencyFromTheSpeakersToTheMicrophone()
    {
        QFETCH(long long, delay);
        QFETCH(double, offset);
        QFETCH(int, unclear);
        QFETCH(bool, measured);
        std::vector<Found> sent = onGrid();
        for (Found& f : sent)
            f.sample -= std::llround((std::isfinite(offset) ? offset : 0) * 44100);
        std::vector<Found> heard = onGrid();
        for (Found& f : heard)
            f.sample += delay;
        heard[4].sample += 900;  // an echo, 20 ms late
        for (int i = 0; i < unclear; ++i)
            heard[i].match = 0.3;
        TimingCheckResult result = TimingCheckResult::judge(heard, 20000, kSequence, 1200, true);
        QCOMPARE(result.judged(), unclear <= 2);
        result.measureLatency(TimingCheckResult::judge(sent, 20000, kSequence, 1200), offset);
        QVERIFY2(measured ? std::fabs(result.latencyMs - double(delay) * 1000 / 44100) < 1e-6 : std::isnan(result.latencyMs),
                 qPrintable(QString::number(result.latencyMs)));
    }

    // The verdict and the figures, word for word: the window shows them and the report carries them.
    void inWords_data()
    {
        QTest::addColumn<TimingCheckResult>("result");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QStringList>("figures");
        const Level loud{20000, 0};
        std::vector<Found> found = onGrid(TimingCheck::sequence());
        found.erase(found.begin() + 1);  // digit 2 missing
        found[1].sample += 3749;         // 85.0 ms
        found[2].match = 0.47;
        for (int i = 3; i < 7; ++i)
            found[i].sample += i == 3 ? -88 : 88;  // 2.0 ms
        QTest::newRow("each digit's problem") << TimingCheckResult::judge(found, loud, TimingCheck::sequence(), 1200)
            << "7 of 21 digits were not heard whole and on time.\nDigit 2 is missing.\nDigit 3 came 85.0 ms late.\nDigit 4 was garbled.\nDigit 5 "
               "came 2.0 ms early.\nDigit 6 came 2.0 ms late.\nDigit 7 came 2.0 ms late.\nAnd 1 more."
            << QStringList{"Digits found: 19 of 21", "Largest interval error: 85.011 ms", "Drift: 0.000 ms"};
        found = onGrid(kSequence, 53000);  // on the microphone's clock, 1512 ppm fast
        found[1].match = 0.3;
        TimingCheckResult microphone = TimingCheckResult::judge(found, loud, kSequence, 1200, true);
        microphone.latencyMs = 12.49;
        QTest::newRow("microphone, its clock off") << microphone
            << "The microphone's clock and the sound output's differ by 1512 ppm, more than sound cards' clocks do: one of them runs "
               "at another rate than it claims, and the pace may be off by 1.8 ms a digit.\n1 of 5 digits were not heard whole and on "
               "time.\nDigit 2 could not be made out.\nThrough a microphone, a room's echoes and noise can make a digit that came on "
               "time look late or unclear: check again nearer the speaker, or what the computer sends to the speakers."
            << QStringList{"Digits found: 4 of 5", "Largest interval error: 0.000 ms", "Drift: 0.000 ms", "Clock difference: 1512 ppm",
                           "Latency: 12.5 ms"};
        found = onGrid();
        found[4].sample += 1;
        TimingCheckResult onTime = TimingCheckResult::judge(found, loud, kSequence, 1200);
        onTime.clockPpm = -0.4;  // as a microphone's a hair slow: 0, never "-0"
        QTest::newRow("all on time") << onTime << "All 5 digits on time: largest interval error 0.02 ms"
            << QStringList{"Digits found: 5 of 5", "Largest interval error: 0.023 ms", "Drift: 0.023 ms", "Clock difference: 0 ppm"};
        // Unjudged: why, at what level, and what to do.
        TimingCheckResult stopped = TimingCheckResult::judge({}, Level{4, 0}, kSequence, 1200);
        stopped.stoppedAfter = 3;
        const QString stoppedWords = QStringLiteral("The recording is too quiet to judge (%1): the first 3 digits could hardly be heard, "
                                                    "if at all, so the check stopped. %2");
        QTest::newRow("stopped") << stopped << stoppedWords.arg("peaks at -78 dB", "Raise the volume slider and check again.") << QStringList{};
        stopped.level = {};
        stopped.fromMicrophone = true;
        QTest::newRow("stopped, microphone") << stopped << stoppedWords.arg("silent: under -90 dB", "Check that the microphone is "
            "connected, switched on and not muted, and that the speakers are on; then check again.") << QStringList{};
        QTest::newRow("too quiet") << TimingCheckResult::judge({}, Level{15, 0}, kSequence, 1200)
            << "The recording is too quiet to judge (peaks at -67 dB). Raise the volume slider and check again." << QStringList{};
        QTest::newRow("too quiet, microphone") << TimingCheckResult::judge({}, Level{30, 0}, kSequence, 1200, true)
            << "The microphone's recording is too quiet to judge (peaks at -61 dB). Raise the volume slider or the microphone's "
               "input level, or bring the microphone nearer the speaker, and check again." << QStringList{};
        const QString tooNoisy = QStringLiteral("The recording is too noisy to judge: only 2 of 5 digits could be made out, its "
                                                "noise (-38 dB) lying only 34 dB under the digits (peaks at -4 dB). ");
        QTest::newRow("too noisy") << TimingCheckResult::judge(noisy(), Level{20000, 400}, kSequence, 1200)
                                   << tooNoisy + "Close other programs that play sound and check again." << QStringList{};
        QTest::newRow("too noisy, microphone") << TimingCheckResult::judge(noisy(), Level{20000, 400}, kSequence, 1200, true)
            << tooNoisy + "Check again in a quieter room, or with the microphone nearer the speaker." << QStringList{};
        QTest::newRow("neither") << TimingCheckResult::judge(noisy(), Level{20000, 100}, kSequence, 1200)
            << "Only 2 of 5 digits could be made out, though the recording is neither too quiet nor too noisy (peaks at -4 dB): "
               "other sound was recorded over them or cut into them. Close other programs that play sound and check again."
            << QStringList{};
    }
    void inWords()
    {
        QFETCH(TimingCheckResult, result);
        QTEST(TimingCheckVerdict::text(result), "verdict");
        QTEST(TimingCheckVerdict::figures(result), "figures");
    }
};

QTEST_MAIN(tst_TimingCheckResult)
#include "tst_timingcheckresult.moc"
