#include "FakeSoundOutput.h"
#include "resources/ResourceBytes.h"
#include "sound/WaveImage.h"
#include "sound/DigitPlayer.h"

#include <QTest>

// The nine recordings as the program carries them, and the player's hand-over of each.
class tst_DigitPlayer : public QObject {
    Q_OBJECT

private slots:
    // The examinee hears the pace only if speech starts at the first sample; every digit must end
    // before the next one at the fastest pace, and all sound equally loud.
    void recordingsStartAtOnceAreShortAndEquallyLoud()
    {
        int commonPeak = -1;
        for (int digit = 1; digit <= 9; ++digit) {
            const QByteArray bytes = resourceBytes(QStringLiteral("WAVE"), digit);
            WaveImage w;
            QVERIFY(WaveImage::parse(bytes.constData(), std::size_t(bytes.size()), w));
            QCOMPARE(w.channels, 2);
            QCOMPARE(w.sampleRate, 44100);
            QCOMPARE(bytes.size(), 44 + qsizetype(w.frames) * 4);  // nothing but the samples
            QVERIFY(w.frames < std::size_t(0.6 * 44100));
            int peak = 0;
            for (std::size_t i = 0; i < w.frames * 2; ++i)
                peak = std::max(peak, std::abs(int(w.samples[i])));
            std::size_t firstLoud = 0;
            while (std::abs(int(w.samples[firstLoud])) < peak / 316)  // -50 dB: soft fricatives count
                ++firstLoud;
            QVERIFY2(firstLoud / 2 <= std::size_t(0.005 * 44100), qPrintable(QString::number(digit)));
            if (commonPeak < 0)
                commonPeak = peak;
            QVERIFY(std::abs(peak - commonPeak) <= commonPeak / 50);
        }
    }

    // The output reads the kept recording itself, until the next digit has started.
    void theOutputPlaysTheRecordingThePlayerKeeps()
    {
        FakeSoundOutput output;
        const SteadyTime due = std::chrono::steady_clock::now();
        {
            DigitPlayer player(output);
            for (int digit : {4, 7}) {
                QVERIFY(player.play(digit, due));
                QCOMPARE(player.currentSound(), resourceBytes(QStringLiteral("WAVE"), digit));
                QCOMPARE(static_cast<const void*>(output.started.back().samples),
                         static_cast<const void*>(player.currentSound().constData() + 44));
            }
            QCOMPARE(output.dues.back(), due);
            QVERIFY(!player.play(0, due) && !player.play(10, due));
            QCOMPARE(output.started.size(), std::size_t(2));
            output.available = false;
            QVERIFY(!player.play(1, due));
            QCOMPARE(output.stops, 0);
        }
        QCOMPARE(output.stops, 1);  // nothing may read the recording once the player is gone
    }
};

QTEST_GUILESS_MAIN(tst_DigitPlayer)
#include "tst_digitplayer.moc"
