#include "Windows.h"
#include "WaveBytes.h"
#include "platform/HiTime.h"
#include "platform/PlaySound.h"
#include "test/frmOvrel.h"
#include "test/modOvrel.h"

#include <QElapsedTimer>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

// With no sound server to reach (PULSE_SERVER points nowhere), nothing is started, at once and
// without a message, and runs go on as ever with silent ticks.
class tst_NoOutput : public QObject {
    Q_OBJECT
private slots:
    void startsNothingAndSaysSo()
    {
        const QByteArray image = waveBytes(100);
        QCOMPARE(PlaySoundA(image.constData(), nullptr, SND_ASYNC | SND_MEMORY), 0);
        QElapsedTimer again;
        again.start();
        QCOMPARE(PlaySoundA(image.constData(), nullptr, SND_ASYNC | SND_MEMORY), 0);
        QVERIFY(again.elapsed() < 50);  // a tick is not held up by the missing server
    }

    void runsStartPauseAndEndWithSilentTicks()
    {
        PlayingWindow playing;
        frmOvrel& w = playing.w;
        const std::vector<int>& results = playing.results;
        const auto& messages = playing.messages;
        w.optTrial[4]->click();
        w.tmrTest().setInterval(30);
        w.cmdStartStop->click();
        QTRY_VERIFY(results.size() >= 10);
        w.cmdStartStop->click();  // pause
        QVERIFY(!w.engine().Running());
        QVERIFY(w.cmdReset->isEnabled());
        w.cmdStartStop->click();  // and on to the end
        QTRY_VERIFY_WITH_TIMEOUT(!w.engine().Running(), 10000);
        QCOMPARE(results.size(), std::size_t(61));
        QVERIFY(std::all_of(results.begin(), results.end(), [](int r) { return r == 0; }));
        QCOMPARE(w.cmdStartStop->text(), QStringLiteral(" Start"));
        QVERIFY(messages.messages.empty());
    }
};

QTEST_MAIN(tst_NoOutput)
#include "tst_nooutput.moc"
