#include "sound/PreciseTimer.h"
#include "sound/SlipDetector.h"
#include "sound/StereoPair.h"
#include "sound/WaveImage.h"

#include <QTest>
#include <QThread>
#include <QtEndian>
#include <random>

using namespace std::chrono;

namespace {

QByteArray le(quint32 value, int bytes)
{
    QByteArray b(4, 0);
    qToLittleEndian(value, b.data());
    return b.left(bytes);
}

// A RIFF/WAVE image of `frames` frames of 16-bit stereo at 44100 Hz, with chunks of its own
// before the samples.
QByteArray waveBytes(int frames, int bits = 16, const QByteArray& beforeData = {})
{
    const QByteArray format = le(1, 2) + le(2, 2) + le(44100, 4) + le(44100 * bits / 4, 4) + le(bits / 4, 2) + le(bits, 2);
    const QByteArray body = "WAVEfmt " + le(16, 4) + format + beforeData + "data" + le(frames * 4, 4) + QByteArray(frames * 4, 1);
    return "RIFF" + le(quint32(body.size()), 4) + body;
}

}  // namespace

class tst_SoundCore : public QObject {
    Q_OBJECT

private slots:
    // A slow handler must not shift the grid, no tick is early, and none comes after stop().
    void preciseTicksFollowAGridThatDoesNotDrift()
    {
        PreciseTimer timer;
        timer.setInterval(20);
        std::vector<SteadyTime> due, delivered;
        connect(&timer, &PacingTimer::ticked, [&] {
            due.push_back(timer.dueTime());
            delivered.push_back(steady_clock::now());
            if (due.size() == 2)
                QThread::msleep(30);
            if (due.size() == 6)
                timer.stop();
        });
        const auto startedAt = steady_clock::now();
        timer.start();
        QTRY_COMPARE(due.size(), std::size_t(6));
        QVERIFY(due[0] >= startedAt + milliseconds(20));
        for (std::size_t i = 0; i < due.size(); ++i) {
            QVERIFY(delivered[i] >= due[i]);
            if (i > 0)
                QCOMPARE(due[i] - due[i - 1], steady_clock::duration(milliseconds(20)));
        }
        QTest::qWait(80);
        QCOMPARE(due.size(), std::size_t(6));
    }

    void waveImagesAreReadOnlyWhenWhole_data()
    {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<int>("cut");  // bytes taken off the end
        QTest::addColumn<int>("frames");  // -1: refused
        QTest::newRow("canonical") << waveBytes(100) << 0 << 100;
        QTest::newRow("chunk before the samples") << waveBytes(50, 16, "LIST" + le(3, 4) + "abc" + QByteArray(1, 0)) << 0 << 50;
        QTest::newRow("8-bit") << waveBytes(100, 8) << 0 << -1;
        QTest::newRow("cut inside the samples") << waveBytes(100) << 10 << -1;
        QTest::newRow("header only") << waveBytes(0).left(11) << 0 << -1;
        QTest::newRow("not RIFF") << QByteArray("RIFX") + waveBytes(10).mid(4) << 0 << -1;
        QTest::newRow("empty") << QByteArray() << 0 << -1;
    }
    void waveImagesAreReadOnlyWhenWhole()
    {
        QFETCH(QByteArray, image);
        QFETCH(int, cut);
        QFETCH(int, frames);
        WaveImage w;
        const bool read = WaveImage::parse(image.constData(), std::size_t(image.size() - cut), w);
        QCOMPARE(read, frames >= 0);
        if (read) {
            QCOMPARE(int(w.frames), frames);
            QCOMPARE(w.channels, 2);
            QCOMPARE(w.sampleRate, 44100);
            QCOMPARE(static_cast<const void*>(w.samples), static_cast<const void*>(image.constData() + image.size() - frames * 4));
        }
    }

    // 3000 buffers of `frames` frames, `window` of them to the detector's window (as the output
    // lays out its short and its long buffers); from buffer 1000 on, what is heard moves by `step` frames
    // (for `lasting` buffers; 0: for good), under jitter of ±25 frames in the server's reports
    // (as on PipeWire) and a device clock `ppm` away from the computer's. With `late`, buffer
    // 1000 is asked for 45 ms late, as when the audio thread is held up.
    // A timing check records a device's left and right; a mono headset's one channel is both.
    void theTwoChannelsRecordedAreLeftAndRight_data()
    {
        QTest::addColumn<QStringList>("channels");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::newRow("stereo") << QStringList{"FL", "FR"} << 0 << 1;
        QTest::newRow("surround, listed out of order") << QStringList{"FC", "FR", "LFE", "FL", "RL", "RR"} << 3 << 1;
        QTest::newRow("mono") << QStringList{"MONO"} << 0 << 0;
        QTest::newRow("unnamed channels") << QStringList{"AUX0", "AUX1", "AUX2", "AUX3"} << 0 << 1;
        QTest::newRow("no ports yet") << QStringList{} << -1 << -1;
    }

    void theTwoChannelsRecordedAreLeftAndRight()
    {
        QFETCH(QStringList, channels);
        QFETCH(int, left);
        QFETCH(int, right);
        std::vector<std::string> names;
        for (const QString& channel : channels)
            names.push_back(channel.toStdString());
        QCOMPARE(stereoPair(names), (std::array<int, 2>{left, right}));
    }

    void slipsAreToldFromJitterAndDrift_data()
    {
        QTest::addColumn<double>("ppm");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("lasting");
        QTest::addColumn<bool>("underflowed");
        QTest::addColumn<int>("late");  // frames a buffer is asked for late at the step
        QTest::addColumn<bool>("believeLate");
        QTest::addColumn<bool>("slipped");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("window");
        QTest::newRow("long buffers: underrun") << 0.0 << 6329 << 0 << true << 6000 << true << true << 2048 << 16;
        QTest::newRow("long buffers: device clock 200 ppm slow") << 200.0 << 0 << 0 << false << 0 << true << false << 2048 << 16;
        QTest::newRow("long buffers: reports that wander, in time") << 0.0 << 677 << 0 << false << 0 << true << false << 2048 << 16;
        QTest::newRow("steady") << 0.0 << 0 << 0 << false << 0 << true << false << 256 << SlipDetector::kMaxWindow;
        QTest::newRow("device clock 200 ppm slow") << 200.0 << 0 << 0 << false << 0 << true << false << 256 << SlipDetector::kMaxWindow;
        QTest::newRow("underrun: 143 ms of silence") << 0.0 << 6329 << 0 << true << 6000 << false << true << 256 << SlipDetector::kMaxWindow;
        QTest::newRow("underrun, told by a late buffer only") << 0.0 << 1137 << 0 << false << 6000 << true << true << 256 << SlipDetector::kMaxWindow;
        QTest::newRow("one 21.3 ms server cycle lost") << 50.0 << -941 << 0 << true << 0 << false << true << 256 << SlipDetector::kMaxWindow;
        QTest::newRow("below 5 ms: not told from jitter") << 0.0 << 200 << 0 << true << 6000 << true << false << 256 << SlipDetector::kMaxWindow;
        QTest::newRow("a burst of late reports") << 0.0 << 2000 << 24 << true << 6000 << true << false << 256 << SlipDetector::kMaxWindow;
        QTest::newRow("reports that wander, in time") << 0.0 << 677 << 0 << false << 0 << true << false << 256 << SlipDetector::kMaxWindow;
        QTest::newRow("a late buffer with more queued than its lateness, reports that wander") << 0.0 << 677 << 0 << false << 2000 << true << false << 2048 << 16;
        QTest::newRow("machine stopped whole, late buffers not believed") << 0.0 << 3750 << 0 << false << 6000 << false << false << 256 << SlipDetector::kMaxWindow;
    }
    void slipsAreToldFromJitterAndDrift()
    {
        QFETCH(double, ppm);
        QFETCH(int, step);
        QFETCH(int, lasting);
        QFETCH(bool, underflowed);
        QFETCH(int, late);
        QFETCH(bool, believeLate);
        QFETCH(bool, slipped);
        QFETCH(int, frames);
        QFETCH(int, window);
        SlipDetector detector;
        detector.reset(believeLate, window);
        std::minstd_rand random(7);
        std::uniform_real_distribution<double> noise(-25, 25);
        std::vector<std::pair<int, std::int64_t>> slips;  // buffer, frames
        for (int i = 0; i < 3000; ++i) {
            const std::int64_t frame = frames * std::int64_t(i);
            const bool moved = i >= 1000 && (lasting == 0 || i < 1000 + lasting);
            const double heard = 5000 + frame * (1 + ppm * 1e-6) + noise(random) + (moved ? step : 0);
            const bool atStep = i >= 1000 && i < 1003;
            if (const std::int64_t slip = detector.feed(frame, frame + (i >= 1000 ? late : 0), heard, underflowed && atStep))
                slips.emplace_back(i, slip);
        }
        QCOMPARE(slips.size(), std::size_t(slipped ? 1 : 0));
        // To within 5 frames (half a millisecond where fewer buffers make a window), and in time
        // for the digit after next.
        const int tolerance = window < SlipDetector::kMaxWindow ? 22 : 5;
        if (slipped)
            QVERIFY2(std::abs(slips[0].second - step) <= tolerance && slips[0].first < 1000 + 3 * window,
                     qPrintable(QStringLiteral("%1 frames at buffer %2").arg(slips[0].second).arg(slips[0].first)));
    }
};

QTEST_GUILESS_MAIN(tst_SoundCore)
#include "tst_soundcore.moc"
