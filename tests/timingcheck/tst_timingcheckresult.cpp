#include "RoomSimulation.h"
#include "SyntheticTake.h"
#include "timingcheck/TimingCheck.h"
#include "SequenceRecording.h"
#include "timingcheck/TimingCheckResult.h"

#include <QTest>
#include <array>

using Found = DigitLocator::Found;

// The verdict on a check sequence of five digits 1.2 s apart, from the digits found in its
// recording: one sample is 0.0227 ms.
class tst_TimingCheckResult : public QObject {
    Q_OBJECT

    static constexpr std::array<int, 5> kSequence{2, 7, 5, 1, 4};
    // The sequence found whole on its grid, 52920 samples apart, from sample 1000.
    static std::vector<Found> onGrid()
    {
        std::vector<Found> found;
        for (int i = 0; i < 5; ++i)
            found.push_back({kSequence[i], 1000 + 52920LL * i, 0.999, false});
        return found;
    }

private slots:
    void verdicts_data()
    {
        QTest::addColumn<std::vector<Found>>("found");
        QTest::addColumn<float>("peak");   // 16-bit
        QTest::addColumn<float>("floor");  // the noise's RMS, 16-bit
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QStringList>("figures");
        QTest::newRow("on the grid") << onGrid() << 20000.f << 0.f << "All 5 digits on time: largest interval error 0.00 ms"
                                     << QStringList{"Digits found: 5 of 5", "Largest interval error: 0.000 ms", "Drift: 0.000 ms"};
        std::vector<Found> oneSample = onGrid();
        oneSample[4].sample += 1;
        QTest::newRow("a sample off is on time") << oneSample << 20000.f << 0.f << "All 5 digits on time: largest interval error 0.02 ms"
                                                 << QStringList{"Digits found: 5 of 5", "Largest interval error: 0.023 ms", "Drift: 0.023 ms"};
        std::vector<Found> late = onGrid();
        late[2].sample += 3749;  // 85.0 ms
        QTest::newRow("one late") << late << 20000.f << 0.f << "1 of 5 digits were not heard whole and on time.\nDigit 3 came 85.0 ms late."
                                  << QStringList{"Digits found: 5 of 5", "Largest interval error: 85.011 ms", "Drift: 0.000 ms"};
        std::vector<Found> gaps = onGrid();
        gaps.erase(gaps.begin() + 1);  // missing: the others keep their places
        gaps[2].match = 0.47;          // digit 4 broken by a gap
        QTest::newRow("missing and garbled") << gaps << 20000.f << 0.f
                                             << "2 of 5 digits were not heard whole and on time.\nDigit 2 is missing.\nDigit 4 was garbled."
                                             << QStringList{"Digits found: 3 of 5", "Largest interval error: 0.000 ms", "Drift: 0.000 ms"};
        // Unjudged: why, at what level, and what to do.
        std::vector<Found> noisy = onGrid();
        for (int i = 0; i < 3; ++i)
            noisy[i].match = 0.3;
        QTest::newRow("too quiet") << onGrid() << 15.f << 0.f
                                   << "The recording is too quiet to judge (peaks at -67 dB). Raise the volume slider and check again."
                                   << QStringList{};
        QTest::newRow("silent") << std::vector<Found>{} << 0.f << 0.f
                                << "The recording is too quiet to judge (silent: under -90 dB). Raise the volume slider and check again."
                                << QStringList{};
        QTest::newRow("too noisy") << noisy << 20000.f << 400.f
                                   << "The recording is too noisy to judge: only 2 of 5 digits could be made out, its noise (-38 dB) "
                                      "lying only 34 dB under the digits (peaks at -4 dB). Close other programs that play sound and check again."
                                   << QStringList{};
        QTest::newRow("neither") << noisy << 20000.f << 100.f
                                 << "Only 2 of 5 digits could be made out, though the recording is neither too quiet nor too noisy "
                                    "(peaks at -4 dB): other sound was recorded over them or cut into them. Close other programs that "
                                    "play sound and check again."
                                 << QStringList{};
    }
    void verdicts()
    {
        QFETCH(std::vector<Found>, found);
        QFETCH(float, peak);
        QFETCH(float, floor);
        QFETCH(QString, verdict);
        QFETCH(QStringList, figures);
        const TimingCheckResult result = TimingCheckResult::judge(found, DigitLocator::Level{peak, floor}, kSequence, 1200);
        QCOMPARE(result.verdict, verdict);
        QCOMPARE(result.figures(), figures);
    }

    // The check sequence made up from the digits' recordings as a recorder takes them: at the
    // volume slider's levels (the monitor carries the sound after the volume: 10, 25, 50 and
    // 100 % are -60, -36, -18 and 0 dB) and under the last bit (2 %), with digits late, over
    // noise, on a microphone's clock of its own. Whatever is judged has every digit found whole,
    // to the sample.
    void syntheticTakes_data()
    {
        QTest::addColumn<TakeConditions>("take");
        QTest::addColumn<bool>("microphone");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QStringList>("figures");  // among the figures
        const QString allOnTime = QStringLiteral("All 21 digits on time: largest interval error 0.00 ms");
        const QStringList exact = {"Digits found: 21 of 21", "Largest interval error: 0.000 ms"};
        const QString twoLate = QStringLiteral("2 of 21 digits were not heard whole and on time.\n"
                                               "Digit 5 came 5.0 ms late.\nDigit 13 came 2.0 ms late.");
        const QString room = QStringLiteral("\nThrough a microphone, a room's echoes and noise can make a digit that came on time "
                                            "look late or unclear: check again nearer the speaker, or what the computer sends to the speakers.");
        const std::vector<std::pair<int, long long>> late = {{4, 221}, {12, 88}};  // 5.01 and 2.00 ms
        for (double level : {0.0, -18.0, -36.0, -60.0})
            QTest::addRow("slider's %g dB", level) << TakeConditions{level, 0, -INFINITY, {}} << false << allOnTime << exact;
        const QString tooQuiet = QStringLiteral("The recording is too quiet to judge (%1). Raise the volume slider and check again.");
        QTest::newRow("slider's 2 %, rounded") << TakeConditions{-102, 0, -INFINITY, {}} << false
                                               << tooQuiet.arg("silent: under -90 dB") << QStringList{};
        QTest::newRow("slider's 2 %, floored") << TakeConditions{-102, 0, -INFINITY, {}, 1, true} << false
                                               << tooQuiet.arg("peaks at -90 dB") << QStringList{};
        QTest::newRow("too quiet") << TakeConditions{-72, 0, -INFINITY, {}} << false << tooQuiet.arg("peaks at -73 dB") << QStringList{};
        QTest::newRow("too quiet, microphone") << TakeConditions{-66, 0, -INFINITY, {}} << true
            << "The microphone's recording is too quiet to judge (peaks at -67 dB). Raise the volume slider or the microphone's "
               "input level, or bring the microphone nearer the speaker, and check again." << QStringList{};
        QTest::newRow("too noisy") << TakeConditions{0, 0, -20, {}} << false
            << "The recording is too noisy to judge: only 0 of 21 digits could be made out, its noise (-20 dB) lying only 20 dB "
               "under the digits (peaks at 0 dB). Close other programs that play sound and check again." << QStringList{};
        QTest::newRow("two late") << TakeConditions{0, 0, -INFINITY, late} << false << twoLate
                                  << QStringList{"Digits found: 21 of 21", "Largest interval error: 5.011 ms"};
        QTest::newRow("two late, quiet") << TakeConditions{-36, 0, -INFINITY, late} << false << twoLate << QStringList{};
        QTest::newRow("two late, microphone") << TakeConditions{0, 0, -INFINITY, late} << true << twoLate + room
                                              << QStringList{"Clock difference: 0 ppm"};
        QTest::newRow("two late, microphone 200 ppm fast") << TakeConditions{0, 200, -INFINITY, late} << true << twoLate + room
                                                           << QStringList{"Clock difference: 200 ppm"};
        // On its own clock each digit starts on the nearest frame: half a frame off the line at most.
        const QString onItsClock = QStringLiteral("All 21 digits on time: largest interval error 0.01 ms");
        for (double ppm : {50.0, 200.0, -200.0})
            QTest::addRow("microphone %g ppm fast", ppm) << TakeConditions{-18, ppm, -INFINITY, {}} << true << onItsClock
                                                        << QStringList{QStringLiteral("Clock difference: %1 ppm").arg(ppm)};
        QTest::newRow("microphone 1500 ppm fast") << TakeConditions{0, 1500, -INFINITY, {}} << true
            << "The microphone's clock and the sound output's differ by 1500 ppm, more than sound cards' clocks do: one of them "
               "runs at another rate than it claims, and the pace may be off by 1.8 ms a digit.\n" + onItsClock
            << QStringList{"Clock difference: 1500 ppm"};
    }
    void syntheticTakes()
    {
        QFETCH(TakeConditions, take);
        QFETCH(bool, microphone);
        QFETCH(QString, verdict);
        QFETCH(QStringList, figures);
        const SyntheticTake recording = syntheticTake(TimingCheck::sequence(), TimingCheck::kPaceMs, take);
        const TimingCheckResult result = TimingCheckResult::judge(recording.sound, DigitLocator(), TimingCheck::sequence(),
                                                                  TimingCheck::kPaceMs, microphone);
        QCOMPARE(result.verdict, verdict);
        for (const QString& line : figures)
            QVERIFY2(result.figures().contains(line), qPrintable(result.figures().join(", ")));
        if (result.judged) {
            QCOMPARE(result.found, 21);
            QCOMPARE(result.onsets, recording.onsets);
        }
    }

    // What a microphone hears in a room. Speaker mode finds sounds by their onsets, which steady
    // noise 40 dB under the speech leaves alone; microphone mode looks for each digit at its
    // place on the pace and still finds it to the sample (or near it, with echoes), and where it
    // cannot make digits out it says the room may be why.
    void roomsInEitherMode_data()
    {
        QTest::addColumn<double>("rt60");
        QTest::addColumn<double>("snrDb");
        QTest::addColumn<bool>("microphone");
        QTest::addColumn<QString>("verdict");
        const QString allOnTime = QStringLiteral("All 5 digits on time: largest interval error 0.00 ms");
        QTest::newRow("steady noise 40 dB under, speaker mode") << 0.0 << 40.0 << false << allOnTime;
        QTest::newRow("steady noise 30 dB under, microphone mode") << 0.0 << 30.0 << true << allOnTime;
        QTest::newRow("echoes and noise 30 dB under, microphone mode") << 0.3 << 30.0 << true
            << "All 5 digits on time: largest interval error 0.07 ms";
        QTest::newRow("noise 10 dB under, microphone mode") << 0.0 << 10.0 << true << "";
    }
    void roomsInEitherMode()
    {
        QFETCH(double, rt60);
        QFETCH(double, snrDb);
        QFETCH(bool, microphone);
        QFETCH(QString, verdict);
        const QByteArray recording = inRoom(sequenceRecording(kSequence, 1200), rt60, snrDb, 1.0, 5);
        const TimingCheckResult result = TimingCheckResult::judge(recording, DigitLocator(), kSequence, 1200, microphone);
        if (verdict.isEmpty())  // whatever it says of each digit, it blames the room too
            QVERIFY2(!result.judged || result.verdict.endsWith(QLatin1String("what the computer sends to the speakers.")),
                     qPrintable(result.verdict));
        else
            QCOMPARE(result.verdict, verdict);
    }

    // The latency from the speakers to the microphone, each recording started on its own: every
    // digit heard is paired with the last sent before it, and an echo taken for a digit or a
    // digit not made out cannot move the median.
    void latencyFromTheSpeakersToTheMicrophone_data()
    {
        QTest::addColumn<long long>("delay");  // samples, from the speakers to the microphone
        QTest::addColumn<double>("offset");    // s, from the microphone's first frame to the speakers'
        QTest::addColumn<int>("unclear");      // digits not made out
        QTest::addColumn<QString>("latency");  // the figure; empty: none
        QTest::newRow("recordings started together") << 551LL << 0.0 << 0 << "Latency: 12.5 ms";
        QTest::newRow("speakers recorded 0.4 s later") << 551LL << 0.4 << 0 << "Latency: 12.5 ms";
        QTest::newRow("speakers recorded 0.1 s earlier") << 8820LL << -0.1 << 0 << "Latency: 200.0 ms";
        QTest::newRow("two digits not made out") << 551LL << 0.0 << 2 << "Latency: 12.5 ms";
        QTest::newRow("most not made out") << 551LL << 0.0 << 3 << "";
        QTest::newRow("offset not known") << 551LL << double(NAN) << 0 << "";
    }
    void latencyFromTheSpeakersToTheMicrophone()
    {
        QFETCH(long long, delay);
        QFETCH(double, offset);
        QFETCH(int, unclear);
        QFETCH(QString, latency);
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
        QVERIFY(result.judged || unclear > 2);
        result.measureLatency(TimingCheckResult::judge(sent, 20000, kSequence, 1200), offset);
        const QStringList figures = result.figures();
        QCOMPARE(figures.filter(QStringLiteral("Latency")).join(QString()), latency);
    }
};

QTEST_MAIN(tst_TimingCheckResult)
#include "tst_timingcheckresult.moc"
