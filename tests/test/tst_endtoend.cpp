#include "DigitLocator.h"
#include "SinkRecorder.h"
#include "TempSettings.h"
#include "platform/PortAudioOutput.h"
#include "test/DigitLists.h"
#include "test/frmOvrel.h"

#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <QToolButton>

// The real window, real timers and the real sound output, heard through the private sound
// server's sink: every digit must be there, in order, at its pace.
class tst_EndToEnd : public QObject {
    Q_OBJECT

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
    }

    void demonstrationThenFastestTrialAreHeardInOrder()
    {
        TempSettings settings;
        {
            QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("OVREL"));
            store.setValue(QStringLiteral("Settings/Volume"), QStringLiteral("100"));
        }
        frmOvrel w;
        w.Form_Load();
        w.show();
        SinkRecorder recorder;
        QVERIFY(recorder.start());

        w.cmdStartStop->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.engine().Running(), 4 * 2400 + 3000);
        QTest::qWait(2500);
        const QByteArray demo = recorder.stop();

        SinkRecorder trialRecorder;
        QVERIFY(trialRecorder.start());
        w.optTrial[4]->click();
        w.cmdStartStop->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.engine().Running(), 61 * 1200 + 3000);
        QTest::qWait(2500);  // the last digit sounds on, and the sink delivers it late
        const QByteArray trial = trialRecorder.stop();

        const DigitLocator locator;
        const auto demoFound = locator.locate(demo);
        QCOMPARE(digitsOf(demoFound), std::vector<int>(DemoDigits.begin(), DemoDigits.end()));

        const auto trialFound = locator.locate(trial);
        QCOMPARE(digitsOf(trialFound), std::vector<int>(TrialDigits.begin(), TrialDigits.end()));
        for (const auto& f : trialFound)
            QVERIFY2(f.match > 0.95, qPrintable(QString::number(f.match)));

        const IntervalStats demoStats = intervalStats(demoFound, 2400);
        const IntervalStats stats = intervalStats(trialFound, 1200);
        qInfo("demonstration 2.4 s: %d intervals, mean error %.3f ms, SD %.3f ms, max %.3f ms",
              demoStats.count, demoStats.meanErrorMs, demoStats.sdMs, demoStats.maxAbsErrorMs);
        qInfo("trial 1.2 s: %d intervals, mean error %.3f ms, SD %.3f ms, max %.3f ms",
              stats.count, stats.meanErrorMs, stats.sdMs, stats.maxAbsErrorMs);
        // Digits are placed to the sample; 5 ms is far outside what machine noise does to that,
        // and well inside what a pacer that starts sounds at its next buffer gets wrong.
        QVERIFY2(stats.maxAbsErrorMs < 5, qPrintable(QString::number(stats.maxAbsErrorMs)));
    }
};

QTEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
