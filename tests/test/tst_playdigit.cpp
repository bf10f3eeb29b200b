#include "FakeHiTime.h"
#include "Recorders.h"
#include "platform/Resources.h"
#include "platform/WaveImage.h"
#include "test/modOvrel.h"

#include <QTest>
#include <QtEndian>
#include <cmath>

// The nine recordings as the program carries them, and PlayDigit's hand-over of each.
class tst_PlayDigit : public QObject {
    Q_OBJECT

    static quint32 le32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
    static quint16 le16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

private slots:
    void recordingsAreCanonicalStereoWaves_data()
    {
        QTest::addColumn<int>("digit");
        for (int d = 1; d <= 9; ++d)
            QTest::addRow("%d", d) << d;
    }
    void recordingsAreCanonicalStereoWaves()
    {
        QFETCH(int, digit);
        const QByteArray w = LoadResourceBytes("WAVE", digit);
        QVERIFY(w.size() > 44);
        QCOMPARE(w.left(4), QByteArray("RIFF"));
        QCOMPARE(le32(w, 4), quint32(w.size() - 8));
        QCOMPARE(w.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(le32(w, 16), 16u);
        QCOMPARE(le16(w, 20), 1);          // PCM
        QCOMPARE(le16(w, 22), 2);          // stereo
        QCOMPARE(le32(w, 24), 44100u);
        QCOMPARE(le32(w, 28), 176400u);
        QCOMPARE(le16(w, 32), 4);
        QCOMPARE(le16(w, 34), 16);
        QCOMPARE(w.mid(36, 4), QByteArray("data"));
        QCOMPARE(le32(w, 40), quint32(w.size() - 44));  // nothing after the samples
    }

    // The examinee hears the pace only if speech starts with the first sample; every digit must
    // end before the next one at the fastest pace, and all sound equally loud.
    void recordingsStartAtOnceAreShortAndEquallyLoud()
    {
        int commonPeak = -1;
        for (int d = 1; d <= 9; ++d) {
            const QByteArray bytes = LoadResourceBytes("WAVE", d);
            WaveImage w;
            QVERIFY(WaveImage::parse(bytes.constData(), w));
            QVERIFY2(w.frames < std::size_t(0.6 * 44100), qPrintable(QString::number(d)));
            int peak = 0;
            std::size_t firstLoud = w.frames;
            for (std::size_t i = 0; i < w.frames * 2; ++i) {
                const int a = std::abs(int(w.samples[i]));
                peak = std::max(peak, a);
            }
            for (std::size_t i = 0; i < w.frames * 2 && firstLoud == w.frames; ++i)
                if (std::abs(int(w.samples[i])) >= peak / 316)  // -50 dB: soft fricatives count
                    firstLoud = i / 2;
            QVERIFY2(firstLoud <= std::size_t(0.005 * 44100), qPrintable(QString::number(d)));
            if (commonPeak < 0)
                commonPeak = peak;
            QVERIFY(std::abs(peak - commonPeak) <= commonPeak / 50);
        }
    }

    void playDigitStartsTheImageItKeeps()
    {
        SoundRecorder sound;
        QCOMPARE(PlayDigit(4), 1);
        QCOMPARE(sound.started.size(), std::size_t(1));
        // The sound plays from the kept image itself, not from a copy.
        QCOMPARE(static_cast<const void*>(sound.started[0].samples),
                 static_cast<const void*>(DigitSound().constData() + 44));
        QCOMPARE(DigitSound(), LoadResourceBytes("WAVE", 4));
        const QByteArray four = LoadResourceBytes("WAVE", 4);
        QCOMPARE(sound.started[0].frames, std::size_t(four.size() - 44) / 4);

        PlayDigit(7);
        QCOMPARE(DigitSound(), LoadResourceBytes("WAVE", 7));
        QCOMPARE(static_cast<const void*>(sound.started[1].samples),
                 static_cast<const void*>(DigitSound().constData() + 44));
    }

    // Started from a tick, a digit belongs to the tick's due time, however late the handler ran;
    // outside a tick, to the moment of the call.
    void aDigitStartedByATickCarriesTheTicksDueTime()
    {
        SoundRecorder sound;
        FakeHiTime timer;
        timer.setInterval(1200);
        QObject::connect(&timer, &HiTime::Timer, [] { PlayDigit(3); });
        timer.setEnabled(true);
        timer.tick();
        timer.tick();
        QCOMPARE(sound.dues.size(), std::size_t(2));
        QCOMPARE(sound.dues[1] - sound.dues[0], std::chrono::steady_clock::duration(std::chrono::milliseconds(1200)));
        QCOMPARE(sound.dues[1], timer.dueTime());
        const auto before = std::chrono::steady_clock::now();
        PlayDigit(3);
        QVERIFY(sound.dues[2] >= before);
    }

    void noOutputMeansZeroAndNoMessage()
    {
        SoundRecorder sound;
        sound.available = false;
        MessageRecorder messages;
        QCOMPARE(PlayDigit(1), 0);
        QVERIFY(messages.messages.empty());
    }

    void unknownDigitPlaysNothing()
    {
        SoundRecorder sound;
        QCOMPARE(PlayDigit(0), 0);
        QCOMPARE(PlayDigit(10), 0);
        QVERIFY(sound.started.empty());
    }
};

QTEST_GUILESS_MAIN(tst_PlayDigit)
#include "tst_playdigit.moc"
