#include "SinkRecorder.h"
#include "WaveBytes.h"
#include "platform/PlaySound.h"

#include <QTest>
#include <memory>

// The real output stream on the private sound server. Built with AddressSanitizer: the audio
// thread must never touch the bytes of a sound once a newer one has been started.
class tst_PortAudio : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(privateSoundServer(), "run through `make test`"); }

    void previousBytesMayBeFreedAsSoonAsTheNextSoundStarted()
    {
        const QByteArray image = waveBytes(44100 / 2);  // half a second: still sounding
        std::unique_ptr<char[]> previous;
        for (int i = 0; i < 200; ++i) {
            auto current = std::make_unique<char[]>(std::size_t(image.size()));
            std::memcpy(current.get(), image.constData(), std::size_t(image.size()));
            QCOMPARE(PlaySoundA(current.get(), nullptr, SND_ASYNC | SND_MEMORY), 1);
            previous = std::move(current);  // frees the one before
            if (i % 4 == 0)
                QTest::qWait(i % 7);
        }
        QTest::qWait(50);
        // Cut off by a silent sound, so the last bytes may go too.
        const QByteArray silence = waveBytes(0);
        QCOMPARE(PlaySoundA(silence.constData(), nullptr, SND_ASYNC | SND_MEMORY), 1);
        previous.reset();
        QTest::qWait(50);
    }

    void soundReachesTheSink()
    {
        SinkRecorder recorder;
        QVERIFY(recorder.start());
        const QByteArray image = waveBytes(44100 / 4);
        QCOMPARE(PlaySoundA(image.constData(), nullptr, SND_ASYNC | SND_MEMORY), 1);
        QTest::qWait(2000);  // the sink delivers to its monitor after its own latency
        const QByteArray heard = recorder.stop();
        // The tone comes out whole, after silence, and nothing follows it.
        const auto* left = reinterpret_cast<const qint16*>(heard.constData());
        const qsizetype frames = heard.size() / 4;
        qsizetype end = frames;
        while (end > 0 && std::abs(left[2 * (end - 1)]) < 4000)
            --end;
        qsizetype begin = end;
        while (begin > 0 && std::abs(left[2 * (begin - 1)]) >= 4000)
            --begin;
        QVERIFY2(end - begin == 44100 / 4, qPrintable(QString::number(end - begin)));
        QVERIFY(begin > 0 && left[2 * (begin - 1)] == 0);
    }
};

QTEST_GUILESS_MAIN(tst_PortAudio)
#include "tst_portaudio.moc"
