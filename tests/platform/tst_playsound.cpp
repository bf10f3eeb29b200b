#include "Recorders.h"
#include "WaveBytes.h"
#include "platform/PlaySound.h"
#include "platform/WaveImage.h"

#include <QTest>

// Reading WAVE images in place, and what PlaySoundA accepts.
class tst_PlaySound : public QObject {
    Q_OBJECT
private slots:
    void readsCanonicalAndChunkedImages()
    {
        const QByteArray plain = waveBytes(100);
        WaveImage w;
        QVERIFY(WaveImage::parse(plain.constData(), w));
        QCOMPARE(w.frames, std::size_t(100));
        QCOMPARE(w.channels, 2);
        QCOMPARE(w.sampleRate, 44100);
        QCOMPARE(static_cast<const void*>(w.samples), static_cast<const void*>(plain.constData() + 44));

        // An odd-sized chunk is padded to an even length before the next one.
        const QByteArray list = waveBytes(10, 2, 44100, 16, QByteArray("LIST\x03\0\0\0abc\0", 12));
        QVERIFY(WaveImage::parse(list.constData(), w));
        QCOMPARE(w.frames, std::size_t(10));
        QCOMPARE(static_cast<const void*>(w.samples), static_cast<const void*>(list.constData() + 56));
    }

    void refusesWhatIsNotA16BitPcmImage_data()
    {
        QTest::addColumn<QByteArray>("image");
        QByteArray badMagic = waveBytes(10);
        badMagic[0] = 'X';
        QByteArray notWave = waveBytes(10);
        notWave[8] = 'X';
        QByteArray eightBit = waveBytes(10, 2, 44100, 8);
        QByteArray float32 = waveBytes(10);
        float32[20] = 3;  // format tag 3
        QByteArray dataFirst = waveBytes(10);
        dataFirst.replace(12, 4, "junk");  // no "fmt " before "data"
        QByteArray overlong = waveBytes(10);
        overlong[40] = char(0xff);  // data chunk runs past the RIFF extent
        QTest::newRow("not RIFF") << badMagic;
        QTest::newRow("not WAVE") << notWave;
        QTest::newRow("8-bit") << eightBit;
        QTest::newRow("float") << float32;
        QTest::newRow("data before fmt") << dataFirst;
        QTest::newRow("chunk past the end") << overlong;
    }
    void refusesWhatIsNotA16BitPcmImage()
    {
        QFETCH(QByteArray, image);
        WaveImage w;
        QVERIFY(!WaveImage::parse(image.constData(), w));
        SoundRecorder sound;
        QCOMPARE(PlaySoundA(image.constData(), nullptr, SND_ASYNC | SND_MEMORY), 0);
        QVERIFY(sound.started.empty());
    }

    void playsOnlyAsynchronousImagesFromMemory()
    {
        SoundRecorder sound;
        const QByteArray image = waveBytes(100);
        QCOMPARE(PlaySoundA(nullptr, nullptr, SND_ASYNC | SND_MEMORY), 0);
        QCOMPARE(PlaySoundA(image.constData(), nullptr, SND_MEMORY), 0);
        QCOMPARE(PlaySoundA(image.constData(), nullptr, SND_ASYNC), 0);
        QCOMPARE(PlaySoundA(image.constData(), nullptr, SND_ASYNC | SND_MEMORY), 1);
        QCOMPARE(sound.started.size(), std::size_t(1));
        sound.available = false;
        QCOMPARE(PlaySoundA(image.constData(), nullptr, SND_ASYNC | SND_MEMORY), 0);
    }
};

QTEST_GUILESS_MAIN(tst_PlaySound)
#include "tst_playsound.moc"
