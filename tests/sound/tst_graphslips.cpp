#include "sound/GraphSlipDetector.h"

#include <QTest>

// A native PipeWire stream's reports, cycle by cycle, as the slip soak captured them with both
// cores busy and another client coming and going: 941 frames a cycle of 1024 at 48 kHz, the
// graph's standing against the frames written drifting by a fifth of a frame a cycle, the
// cycles' times on their grid. At cycle 200 the standing steps by `step` frames, `lateMs` after
// its due time the cycle comes (a hold-up: cycles went by without this stream), the step shown
// `lag` cycles after that; where the stream `makesUp` for it, a second buffer comes in the same
// cycle and the standing steps back as far. Only a step the lateness covers is sound lost, and
// moves the map.
class tst_GraphSlips : public QObject {
    Q_OBJECT

private slots:
    void onlyAStepWithLateCyclesMovesTheMap_data()
    {
        QTest::addColumn<double>("lateMs");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("lag");
        QTest::addColumn<bool>("timesKnown");
        QTest::addColumn<bool>("makesUp");
        QTest::addColumn<qint64>("slip");
        QTest::newRow("a step of one cycle with the cycles on time: a changed report") << 0.0 << 940.8 << 0 << true << false << qint64(0);
        QTest::newRow("a step back with the cycles on time") << 0.0 << -940.8 << 0 << true << false << qint64(0);
        QTest::newRow("a cycle lost: its buffer a cycle late") << 21.333 << 940.6 << 0 << true << false << qint64(940);
        QTest::newRow("the server stopped 50 ms") << 64.0 << 2822.2 << 0 << true << false << qint64(2822);
        QTest::newRow("the audio thread starved 400 ms") << 405.333 << 17875.0 << 0 << true << false << qint64(17875);
        QTest::newRow("the step told a cycle after the late one") << 85.333 << 3764.0 << 1 << true << false << qint64(3764);
        QTest::newRow("a cycle lost, made up by a second buffer in the same cycle") << 21.333 << 941.0 << 0 << true << true << qint64(0);
        QTest::newRow("a step far beyond the lateness") << 21.333 << 4704.0 << 0 << true << false << qint64(0);
        QTest::newRow("the cycles' times not told: a step is believed") << 0.0 << 940.8 << 0 << false << false << qint64(941);
    }
    void onlyAStepWithLateCyclesMovesTheMap()
    {
        QFETCH(double, lateMs);
        QFETCH(double, step);
        QFETCH(int, lag);
        QFETCH(bool, timesKnown);
        QFETCH(bool, makesUp);
        QFETCH(qint64, slip);
        constexpr std::int64_t kCycleNs = 21'333'333;
        GraphSlipDetector detector;
        std::int64_t first = 0, ns = 1'000'000'000, moved = 0;
        int slips = 0;
        for (int i = 0; i < 400; ++i) {
            const bool again = makesUp && i == 201;
            ns += again ? 0 : kCycleNs + (i == 200 ? std::llround(lateMs * 1e6) : 0);
            const double graph = -0.2 * i + (i >= 200 + lag ? step : 0) - (makesUp && i > 200 ? step : 0);
            const SoundPlacement::Slip s = detector.feed(graph, first, timesKnown ? ns : 0);
            if (s.frames != 0) {
                moved += s.frames;
                ++slips;
            }
            first += i % 5 == 4 ? 940 : 941;
        }
        QCOMPARE(moved, slip);
        QCOMPARE(slips, makesUp ? 2 : slip != 0 ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(tst_GraphSlips)
#include "tst_graphslips.moc"
