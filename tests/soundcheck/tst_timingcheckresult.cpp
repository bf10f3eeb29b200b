#include "soundcheck/SequenceRecording.h"
#include "soundcheck/TimingCheckResult.h"

#include <QTest>
#include <array>
#include <cmath>
#include <random>

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
        QTest::addColumn<int>("peak");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QStringList>("figures");
        QTest::newRow("on the grid") << onGrid() << 20000 << "All 5 digits on time: largest interval error 0.00 ms"
                                     << QStringList{"Digits found: 5 of 5", "Largest interval error: 0.000 ms", "Drift: 0.000 ms"};
        std::vector<Found> oneSample = onGrid();
        oneSample[4].sample += 1;
        QTest::newRow("a sample off is on time") << oneSample << 20000 << "All 5 digits on time: largest interval error 0.02 ms"
                                                 << QStringList{"Digits found: 5 of 5", "Largest interval error: 0.023 ms", "Drift: 0.023 ms"};
        std::vector<Found> late = onGrid();
        late[2].sample += 3749;  // 85.0 ms
        QTest::newRow("one late") << late << 20000 << "1 of 5 digits were not heard whole and on time.\nDigit 3 came 85.0 ms late."
                                  << QStringList{"Digits found: 5 of 5", "Largest interval error: 85.011 ms", "Drift: 0.000 ms"};
        std::vector<Found> gaps = onGrid();
        gaps.erase(gaps.begin() + 1);  // missing: the others keep their places
        gaps[2].match = 0.47;          // digit 4 broken by a gap
        QTest::newRow("missing and garbled") << gaps << 20000
                                             << "2 of 5 digits were not heard whole and on time.\nDigit 2 is missing.\nDigit 4 was garbled."
                                             << QStringList{"Digits found: 3 of 5", "Largest interval error: 0.000 ms", "Drift: 0.000 ms"};
        QTest::newRow("too quiet") << onGrid() << 300
                                   << "The recording is too quiet to judge: turn the volume up and check that the sound reaches what is recorded."
                                   << QStringList{};
        std::vector<Found> noisy = onGrid();
        for (int i = 0; i < 3; ++i)
            noisy[i].match = 0.3;
        QTest::newRow("too noisy") << noisy << 20000
                                   << "The recording is too noisy or too quiet to judge: only 2 of 5 digits could be made out."
                                   << QStringList{};
    }
    void verdicts()
    {
        QFETCH(std::vector<Found>, found);
        QFETCH(int, peak);
        QFETCH(QString, verdict);
        QFETCH(QStringList, figures);
        const TimingCheckResult result = TimingCheckResult::judge(found, peak, kSequence, 1200);
        QCOMPARE(result.verdict, verdict);
        QCOMPARE(result.figures(), figures);
    }

    // A microphone's steady noise, 40 dB under the speech: the digits are still found to the
    // sample. (Where the noise reaches 30 dB, or a room reverberates, they are not yet: see the
    // performance notes.)
    void digitsAreFoundOverSteadyNoise()
    {
        QByteArray recording = sequenceRecording(kSequence, 1200);
        auto* samples = reinterpret_cast<std::int16_t*>(recording.data());
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0, 3000 * 0.01);  // the speech's RMS is about 3000
        for (qsizetype i = 0; i < recording.size() / 2; ++i)
            samples[i] = std::int16_t(std::clamp(samples[i] + std::lround(noise(random)), -32768L, 32767L));
        const TimingCheckResult result = TimingCheckResult::judge(recording, DigitLocator(), kSequence, 1200);
        QCOMPARE(result.verdict, QStringLiteral("All 5 digits on time: largest interval error 0.00 ms"));
    }
};

QTEST_MAIN(tst_TimingCheckResult)
#include "tst_timingcheckresult.moc"
