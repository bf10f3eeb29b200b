#include "RoomSimulation.h"
#include "soundcheck/SequenceRecording.h"
#include "soundcheck/TimingCheckResult.h"

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
