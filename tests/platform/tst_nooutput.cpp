#include "WaveBytes.h"
#include "platform/PlaySound.h"

#include <QTest>

// With no sound server to reach, PlaySoundA reports that nothing was started, at once and
// without a message; runs with PULSE_SERVER pointing nowhere.
class tst_NoOutput : public QObject {
    Q_OBJECT
private slots:
    void startsNothingAndSaysSo()
    {
        const QByteArray image = waveBytes(100);
        QCOMPARE(PlaySoundA(image.constData(), nullptr, SND_ASYNC | SND_MEMORY), 0);
        QCOMPARE(PlaySoundA(image.constData(), nullptr, SND_ASYNC | SND_MEMORY), 0);
    }
};

QTEST_GUILESS_MAIN(tst_NoOutput)
#include "tst_nooutput.moc"
