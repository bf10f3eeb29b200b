#include "FakeOutputMoves.h"
#include "FakeSteadyClock.h"
#include "FakeStreamOutput.h"

#include <QTest>

using namespace std::chrono;

namespace {

constexpr std::size_t kSoundFrames = 4410;  // 100 ms
constexpr std::int64_t kLead = FakeStreamOutput::kLeadFrames;

std::int64_t frameAt(double ms)
{
    return std::llround(ms * kSampleRate / 1000);
}

// A stream that renders in step with the clock, from 0 at t0: frame f is rendered at t0 + f / rate
// and heard 5000 frames later, `step` frames later still from frame `stepAt` on (an underrun told
// with the first buffer past it). Its sounds are alike: frame i is i + 1 on the left, -(i + 1) on
// the right.
struct Rig {
    std::shared_ptr<FakeSteadyClock> clock = std::make_shared<FakeSteadyClock>();
    FakeOutputMoves* moves = new FakeOutputMoves;  // the output's
    FakeStreamOutput out{clock, std::unique_ptr<OutputMoves>(moves)};
    const SteadyTime t0 = clock->at;
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(2 * kSoundFrames);
    QList<int> sizes{256};  // of the buffers, in turn
    std::size_t turn = 0;
    std::int64_t stepAt = -1, step = 0;
    bool underflowTold = false;

    Rig()
    {
        for (std::size_t i = 0; i < kSoundFrames; ++i)
            samples[2 * i] = std::int16_t(-(samples[2 * i + 1] = std::int16_t(-(i + 1))));
    }
    SteadyTime at(double ms) const { return t0 + round<steady_clock::duration>(duration<double, std::milli>(ms)); }
    void renderTo(std::int64_t frame)
    {
        while (out.placement().rendered() < frame) {
            const std::int64_t first = out.placement().rendered();
            const bool stepped = stepAt >= 0 && first >= stepAt;
            out.render(std::size_t(sizes[int(turn++ % sizes.size())]), 5000.0 + double(first + (stepped ? step : 0)),
                       stepped && !std::exchange(underflowTold, true));
        }
    }
    // Asks, `lateMs` after it is due, for the sound due `dueMs` after t0.
    bool play(double dueMs, double lateMs = 0)
    {
        renderTo(frameAt(dueMs + lateMs));
        clock->at = at(dueMs + lateMs);
        return out.start(sound(), at(dueMs));
    }
    WaveImage sound() const { return {samples.data(), kSoundFrames, kChannels, kSampleRate}; }
    // Where the sound was rendered whole; false if anything else was rendered too.
    bool wholeStarts(std::vector<std::int64_t>& starts) const
    {
        const std::vector<std::int16_t>& h = out.heard;
        for (std::size_t f = 0; 2 * (f + kSoundFrames) <= h.size(); ++f)
            if (std::equal(samples.begin(), samples.end(), h.begin() + std::ptrdiff_t(2 * f)))
                starts.push_back(std::int64_t(f));
        return std::size_t(std::count(h.begin(), h.end(), 0)) == h.size() - starts.size() * samples.size();
    }
    // "Kind dueMs ms" for each fault, ms to a tenth; a correction's bound after "up to".
    QStringList faults()
    {
        static const char* const kinds[] = {"NotPlayed", "Moved", "Held", "Restarted", "Corrected", "Rerouted"};
        QStringList said;
        for (const SoundFault& f : out.takeFaults())
            said << QStringLiteral("%1 %2 %3").arg(kinds[int(f.kind)]).arg(duration<double, std::milli>(f.due - t0).count(), 0, 'g', 10)
                        .arg(f.ms, 0, 'f', 1)
                    + (f.kind == SoundFault::Kind::Corrected ? QStringLiteral(" up to %1").arg(f.boundMs, 0, 'f', 1) : QString());
        return said;
    }
};

}  // namespace

class tst_PlacedOutput : public QObject {
    Q_OBJECT

private slots:
    // Four sounds 500.0117 ms apart (22050.5 frames: the grid rounds) or at a pace, on buffers of the sizes
    // given; the second asked for `lateMs` late. Held up past its lead, it starts as soon as it
    // can, late by what it says, and the third is on the grid again, on the same map.
    void soundsLandOnTheirDueTimesFrame_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<double>("lateMs");
        QTest::addColumn<bool>("startsLate");
        QTest::addColumn<double>("paceMs");
        QTest::newRow("256-frame buffers") << QList<int>{256} << 0.0 << false << 500.0117;
        QTest::newRow("buffers of 1 to 4093 frames") << QList<int>{1, 4093, 441, 7, 2048, 999} << 0.0 << false << 500.0117;
        QTest::newRow("asked 100 ms late: its lead still covers it") << QList<int>{1023, 5} << 100.0 << false << 500.0117;
        QTest::newRow("asked 190 ms late: past its lead") << QList<int>{1023, 5} << 190.0 << true << 500.0117;
        // As on a machine that swaps: the map still holds, and the sound is named.
        QTest::newRow("asked 1.5 s late: far past three leads") << QList<int>{1023, 5} << 1500.0 << true << 2400.0;
        QTest::newRow("asked 2.2 s late") << QList<int>{256} << 2200.0 << true << 2400.0;
    }
    void soundsLandOnTheirDueTimesFrame()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(double, lateMs);
        QFETCH(bool, startsLate);
        QFETCH(double, paceMs);
        Rig rig;
        rig.sizes = sizes;
        std::vector<std::int64_t> expected;
        QStringList faults;
        for (int k = 0; k < 4; ++k) {
            QVERIFY(rig.play(paceMs * k, k == 1 ? lateMs : 0));
            expected.push_back(kLead + frameAt(paceMs * k));
            if (k == 1 && startsLate) {
                const std::int64_t start = rig.out.placement().rendered() + SoundPlacement::kMinLeadFrames;
                faults << QStringLiteral("Moved %1 %2").arg(paceMs, 0, 'g', 10).arg(double(start - expected.back()) * 1000 / kSampleRate, 0, 'f', 1);
                expected.back() = start;
            }
        }
        rig.renderTo(expected.back() + std::int64_t(kSoundFrames) + 300);
        std::vector<std::int64_t> starts;
        QVERIFY2(rig.wholeStarts(starts), "something else was rendered");
        QCOMPARE(starts, expected);
        QCOMPARE(rig.faults(), faults);
        QCOMPARE(rig.out.placement().anchors(), 1);
    }

    // Sounds due at 0, 500 and 1000 ms, on the grid at frames 8820, 30870 and 52920; from frame
    // `stepAt` on the server holds what is rendered back by `step` frames (negative: drops them).
    // The sounds after the slip is told are rendered that much earlier (later), so that every
    // sound is heard on the grid; the first of them is said to be corrected, and one the slip
    // broke into, held.
    void aSlipIsMadeGoodOnTheNextSound_data()
    {
        QTest::addColumn<int>("stepAt");
        QTest::addColumn<int>("step");
        QTest::addColumn<QStringList>("faults");
        // A correction may be off by the slip (were the reports wrong) or by their grain.
        QTest::newRow("in the silence, told before the next is asked") << 14080 << 1137 << QStringList{"Corrected 500 25.8 up to 25.8"};
        QTest::newRow("while the next waits to begin") << 23040 << 1137 << QStringList{"Corrected 500 25.8 up to 25.8"};
        QTest::newRow("frames dropped while the next waits: the grain bounds it") << 23040 << -941 << QStringList{"Corrected 500 -21.3 up to 23.2"};
        QTest::newRow("inside a sound") << 9984 << 6329 << QStringList{"Held 0 143.5", "Corrected 500 143.5 up to 143.5"};
    }
    void aSlipIsMadeGoodOnTheNextSound()
    {
        QFETCH(int, stepAt);
        QFETCH(int, step);
        QFETCH(QStringList, faults);
        Rig rig;
        rig.stepAt = stepAt;
        rig.step = step;
        for (int k = 0; k < 3; ++k)
            QVERIFY(rig.play(500.0 * k));
        rig.renderTo(60000);
        std::vector<std::int64_t> starts, heard;
        QVERIFY(rig.wholeStarts(starts));
        for (std::int64_t s : starts)
            heard.push_back(s >= stepAt ? s + step : s);
        QCOMPARE(heard, (std::vector<std::int64_t>{8820, 30870, 52920}));
        QCOMPARE(rig.faults(), faults);
        QCOMPARE(rig.out.placement().slips(), 1);
    }

    // Sounds due at 0 and 1200 ms; the stream renders until the second is asked for, then stands
    // still (or the server stops it) until the third is asked, `stillMs` later: the second, not
    // begun, is cut off unheard. Past the stall limit the stream is closed and opened afresh, and
    // the third, on the new stream a lead after its ask, is one whose timing is not known.
    void aStreamThatStandsStillIsOpenedAfresh_data()
    {
        QTest::addColumn<int>("stillMs");
        QTest::addColumn<bool>("serverRuns");
        QTest::addColumn<bool>("afresh");
        QTest::addColumn<QStringList>("faults");
        QTest::newRow("400 ms: it plays on") << 400 << true << false << QStringList{"NotPlayed 1200 0.0"};
        QTest::newRow("600 ms: stopped") << 600 << true << true << QStringList{"NotPlayed 1200 0.0", "Restarted 1800 0.0"};
        QTest::newRow("stopped by the server") << 100 << false << true << QStringList{"NotPlayed 1200 0.0", "Restarted 1300 0.0"};
    }
    void aStreamThatStandsStillIsOpenedAfresh()
    {
        QFETCH(int, stillMs);
        QFETCH(bool, serverRuns);
        QFETCH(bool, afresh);
        QFETCH(QStringList, faults);
        Rig rig;
        QVERIFY(rig.play(0));
        QVERIFY(rig.play(1200));
        const std::int64_t stoodAt = rig.out.placement().rendered();
        rig.clock->at = rig.at(1200 + stillMs);
        rig.out.serverRuns = serverRuns;
        QVERIFY(rig.out.start(rig.sound(), rig.clock->at));
        QCOMPARE(rig.out.closes, afresh ? 1 : 0);
        QCOMPARE(rig.out.attempts, afresh ? 2 : 1);
        rig.out.serverRuns = true;
        rig.renderTo(stoodAt + 4 * kLead);
        std::vector<std::int64_t> starts;
        QVERIFY(rig.wholeStarts(starts));
        QCOMPARE(starts.back(), afresh ? stoodAt + kLead : kLead + frameAt(1200 + stillMs));
        QCOMPARE(rig.faults(), faults);
    }

    // Sounds due at 0 and 1200 ms; the stream stands still from then on and cannot be opened
    // again until 2800 ms. Each later sound is asked for on its due time: an attempt to open is
    // made only kRetryInterval after the last that failed, and start() fails at once meanwhile.
    // The first sound on the stream opened at last is one on a stream opened afresh.
    void whileItCannotOpenItRetriesEveryInterval()
    {
        Rig rig;
        QVERIFY(rig.play(0));
        QVERIFY(rig.play(1200));
        struct Ask {
            int dueMs;
            bool openable, played;
            int attempts;
            QStringList faults;
        };
        const Ask asks[] = {{1800, false, false, 2, {"NotPlayed 1200 0.0", "NotPlayed 1800 0.0"}},
                            {2800, true, false, 2, {"NotPlayed 2800 0.0"}}, {3700, true, false, 2, {"NotPlayed 3700 0.0"}},
                            {3900, true, true, 3, {"Restarted 3900 0.0"}}, {5100, true, true, 3, {}}};
        for (const Ask& ask : asks) {
            rig.clock->at = rig.at(ask.dueMs);
            rig.out.openable = ask.openable;
            QCOMPARE(rig.out.start(rig.sound(), rig.clock->at), ask.played);
            QCOMPARE(rig.out.attempts, ask.attempts);
            QCOMPARE(rig.faults(), ask.faults);
            rig.renderTo(rig.out.placement().rendered() + frameAt(ask.played ? 1200 : 0));
        }
        rig.out.close();
        rig.out.openable = false;
        QVERIFY(!rig.out.open());
        QCOMPARE(rig.out.attempts, 4);  // closed, it forgets the attempt before
    }

    // Sounds due at 0, 1200 and `thirdMs`, heard 250 ms after (latency and lead). A move to
    // another output seen `afterMs` after the second's due time befalls the sound heard then or,
    // in the silence after one, the next, unless that is the first of another run.
    void aMoveBefallsTheSoundHeardAsItCame_data()
    {
        QTest::addColumn<int>("afterMs");
        QTest::addColumn<int>("thirdMs");
        QTest::addColumn<QStringList>("faults");
        QTest::newRow("as the second is heard") << 300 << 2400 << QStringList{"Rerouted 1200 0.0"};
        QTest::newRow("just before the second is heard") << 150 << 2400 << QStringList{"Rerouted 1200 0.0"};
        QTest::newRow("in the silence after it") << 750 << 2400 << QStringList{"Rerouted 2400 0.0"};
        QTest::newRow("in the silence, before another run") << 750 << 6000 << QStringList{};
    }
    void aMoveBefallsTheSoundHeardAsItCame()
    {
        QFETCH(int, afterMs);
        QFETCH(int, thirdMs);
        QFETCH(QStringList, faults);
        Rig rig;
        QVERIFY(rig.play(0));
        QVERIFY(rig.play(1200));
        rig.moves->seen.push_back(rig.at(1200 + afterMs));
        QVERIFY(rig.play(thirdMs));
        QCOMPARE(rig.faults(), faults);
    }
};

QTEST_GUILESS_MAIN(tst_PlacedOutput)
#include "tst_placedoutput.moc"
