#include "DigitLocator.h"
#include "MainWindowRig.h"
#include "SinkRecorder.h"
#include "platform/PortAudioOutput.h"
#include "presentation/DigitLists.h"
#include "presentation/DigitPlayer.h"

#include <QRadioButton>
#include <QTest>
#include <QToolButton>

// The real window, real timers and the real sound output, heard through the private sound
// server's sink: every digit must be there, whole, in order, at its pace.
class tst_EndToEnd : public QObject {
    Q_OBJECT

    MainWindowRig rig;
    std::unique_ptr<DigitPlayer> player;

    void runAndRecord(const char* choice, int digits, int paceMs, std::vector<DigitLocator::Found>& found)
    {
        SinkRecorder recorder;
        QVERIFY(recorder.start());
        rig.child<QRadioButton>(choice).click();
        rig.child<QToolButton>("startStopButton").click();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.window->engine().isRunning(), digits * paceMs + 3000);
        QTest::qWait(2500);  // the last digit sounds on, and the sink delivers it late
        found = DigitLocator().locate(recorder.stop());
    }
    static std::vector<int> digitsOf(const std::vector<DigitLocator::Found>& found)
    {
        std::vector<int> d;
        for (const auto& f : found)
            d.push_back(f.digit);
        return d;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(privateSoundServer(), "run through `make test`, which starts the sound server");
        QVERIFY(pactl({"set-sink-volume", "@DEFAULT_SINK@", "100%"}));
        QVERIFY(PortAudioOutput::instance().open());  // as the program does at start-up
        player = std::make_unique<DigitPlayer>(PortAudioOutput::instance());
        rig.build(true, [this](int digit, SteadyTime due) { player->play(digit, due); }).show();
    }

    void demonstrationThenFastestTrialAreHeardInOrder()
    {
        std::vector<DigitLocator::Found> demo, trial;
        runAndRecord("demoButton", 4, 2400, demo);
        QCOMPARE(digitsOf(demo), std::vector<int>(kDemonstrationDigits.begin(), kDemonstrationDigits.end()));
        runAndRecord("pace12Button", 61, 1200, trial);
        QCOMPARE(digitsOf(trial), std::vector<int>(kTrialDigits.begin(), kTrialDigits.end()));
        for (const auto& f : trial)
            QVERIFY2(f.match > 0.95, qPrintable(QString::number(f.match)));
        const IntervalStats stats = intervalStats(trial, 1200);
        qInfo("trial 1.2 s: %d intervals, mean error %.3f ms, SD %.3f ms, max %.3f ms", stats.count,
              stats.meanErrorMs, stats.sdMs, stats.maxAbsErrorMs);
        // Digits are placed to the sample; 5 ms is far outside what machine noise does to that,
        // and well inside what a pacer that starts sounds at its next buffer gets wrong.
        QVERIFY2(stats.maxAbsErrorMs < 5, qPrintable(QString::number(stats.maxAbsErrorMs)));
    }
};

QTEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
