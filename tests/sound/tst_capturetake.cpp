#include "sound/CaptureTake.h"

#include <QTest>
#include <cmath>

using namespace std::chrono_literals;

class tst_CaptureTake : public QObject {
    Q_OBJECT

private slots:
    // One second's recording fed buffers of the sizes given, in turn, past its end: frame f is
    // f % 30000 on the left and its negative on the right, but for the third buffer, which the
    // stream gave no samples for (silence). Every buffer says when its first frame was captured,
    // on a clock where the recording begins at 10 s, and on the steady clock: the fifth 0.4 s late,
    // the sixth not at all.
    void aRecordingKeepsItsFramesInOrderUpToItsLength_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("256-frame buffers") << QList<int>{256};
        QTest::newRow("assorted, one frame to 10007") << QList<int>{1, 4096, 255, 10007, 999, 3};
        QTest::newRow("one buffer longer than the recording") << QList<int>{44101};
    }
    void aRecordingKeepsItsFramesInOrderUpToItsLength()
    {
        QFETCH(QList<int>, sizes);
        CaptureTake take;
        take.reset(1);
        std::vector<std::int16_t> expected;
        std::size_t offered = 0;
        for (int i = 0; offered < 50000; ++i) {
            const std::size_t n = std::size_t(sizes[i % sizes.size()]);
            std::vector<std::int16_t> buffer;
            for (std::size_t f = offered; f < offered + n; ++f)
                buffer.insert(buffer.end(), {std::int16_t(i == 2 ? 0 : f % 30000), std::int16_t(i == 2 ? 0 : -int(f % 30000))});
            const double seconds = i == 5 ? NAN : 10.0 + double(offered) / kSampleRate + (i == 4 ? 0.4 : 0);
            const std::size_t kept = std::min<std::size_t>(n, 44100 - std::min<std::size_t>(offered, 44100));
            expected.insert(expected.end(), buffer.begin(), buffer.begin() + std::ptrdiff_t(2 * kept));
            // The same told on the steady clock, where the recording begins at 5 s.
            const std::int64_t captured = std::isfinite(seconds) ? std::int64_t((seconds - 5.0) * 1e9) : CaptureTake::kNotTold;
            QCOMPARE(take.append(i == 2 ? nullptr : buffer.data(), n, seconds, captured), offered + n < 44100);
            offered += n;
        }
        const auto bytes = [](const std::vector<std::int16_t>& s, std::size_t from) {
            return QByteArray(reinterpret_cast<const char*>(s.data() + 2 * from), qsizetype((s.size() - 2 * from) * 2));
        };
        QCOMPARE(expected.size(), std::size_t(2 * 44100));
        for (std::size_t from : {std::size_t(0), std::size_t(1), std::size_t(22050), std::size_t(44099)})
            QCOMPARE(take.copyFrom(from), bytes(expected, from));
        QVERIFY(take.copyFrom(44100).isEmpty());
        QCOMPARE(take.firstFrameSeconds(), 10.0);
        QVERIFY(std::abs(take.firstFrameCaptured()->time_since_epoch().count() - std::chrono::nanoseconds(5s).count()) < 1000);
        QCOMPARE(take.take(), bytes(expected, 0));
    }
};

QTEST_GUILESS_MAIN(tst_CaptureTake)
#include "tst_capturetake.moc"
