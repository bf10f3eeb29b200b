#include "SinkRecorder.h"
#include "Windows.h"
#include "platform/HiTime.h"

#include <QRadioButton>
#include <QTest>
#include <QToolButton>

// Ten full trials with the real timer and the real output stream, at a brisk pace: every digit
// is started, and nothing leaks or races (make check-sanitize runs this under the sanitizers).
class tst_Soak : public QObject {
    Q_OBJECT
private slots:
    void tenFullTrials()
    {
        QVERIFY2(privateSoundServer(), "run through `make test`");
        PlayingWindow playing;
        frmOvrel& w = playing.w;
        for (int trial = 0; trial < 10; ++trial) {
            w.optTrial[1 + trial % 4]->click();
            w.tmrTest().setInterval(60);
            w.cmdStartStop->click();
            QTRY_VERIFY_WITH_TIMEOUT(!w.engine().Running(), 20000);
        }
        QCOMPARE(playing.results.size(), std::size_t(610));
        QCOMPARE(std::count(playing.results.begin(), playing.results.end(), 1), 610);
        QVERIFY(playing.messages.messages.empty());
    }
};

QTEST_MAIN(tst_Soak)
#include "tst_soak.moc"
