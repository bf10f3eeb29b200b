#include "DigitLocator.h"
#include "GraphCycles.h"
#include "SinkRecorder.h"
#include "TempSettings.h"
#include "app/Startup.h"
#include "platform/MessageRecorder.h"
#include "platform/PortAudioOutput.h"
#include "platform/ProgramEndRecorder.h"
#include "presentation/DigitLists.h"
#include "presentation/MainWindow.h"

#include <QGuiApplication>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QToolButton>

// The program as it starts, with the real window, timers, sound output and mixer, heard through
// the private sound server's sink: every digit must be there, whole, in order, at its pace; the
// sink's volume follows the slider and comes back at the end.
class tst_EndToEnd : public QObject {
    Q_OBJECT

    TempSettings settings;
    MessageRecorder messages;
    ProgramEndRecorder exits;
    std::unique_ptr<QWidget> window;

    template <class T>
    T* child(const char* name) { return window->findChild<T*>(QLatin1String(name)); }
    static int sinkPercent()
    {
        const auto m = QRegularExpression("(\\d+)%").match(pactl({"get-sink-volume", "@DEFAULT_SINK@"}).value_or(""));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    void runAndRecord(const char* choice, int digits, int paceMs, std::vector<int>& heard, IntervalStats& stats)
    {
        SinkRecorder recorder;
        QVERIFY(recorder.start());
        child<QRadioButton>(choice)->click();
        child<QToolButton>("startStopButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!static_cast<MainWindow&>(*window).engine().isRunning(), digits * paceMs + 3000);
        QTest::qWait(2500);  // the last digit sounds on, and the sink delivers it late
        const auto found = DigitLocator().locate(recorder.stop());
        for (const auto& f : found) {
            heard.push_back(f.digit);
            QVERIFY2(f.whole(), qPrintable(QStringLiteral("digit %1 at %2: match %3%4").arg(f.digit).arg(f.sample)
                                               .arg(f.match).arg(f.overlapped ? ", overlapped" : "")));
        }
        stats = intervalStats(found, paceMs);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(privateSoundServer(), "run through `make test`, which starts the sound server");
        QVERIFY(pactl({"set-sink-volume", "@DEFAULT_SINK@", "40%"}));
        settings.write("[Settings]\nVolume=\"\\xff loud\"\n");  // damaged: the default applies
        QVERIFY(PortAudioOutput::instance().open());  // as the program does at start-up
        window.reset(showMainWindow(loadMainWindow));
        QVERIFY(window && window->isVisible());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((window->frameGeometry().center() - screen.center()).manhattanLength() <= 8);
        QCOMPARE(sinkPercent(), 25);
        child<QSlider>("volumeSlider")->setValue(100);
        QCOMPARE(sinkPercent(), 100);
    }

    void demonstrationThenFastestTrialAreHeardInOrder()
    {
        std::vector<int> demo, trial;
        IntervalStats demoStats, stats;
        runAndRecord("demoButton", 4, 2400, demo, demoStats);
        QCOMPARE(demo, std::vector<int>(kDemonstrationDigits.begin(), kDemonstrationDigits.end()));
        // Another client asks PipeWire for 64-frame cycles now and then; while the program plays,
        // the graph keeps 1024 frames (21.3 ms).
        GraphCycles cycles;
        const bool pipewire = soundServerName().startsWith(QLatin1String("pipewire"));
        QVERIFY(!pipewire || cycles.start());
        runAndRecord("pace12Button", 61, 1200, trial, stats);
        if (pipewire)
            QCOMPARE(cycles.stop(), QSet<int>{21333});
        QCOMPARE(trial, std::vector<int>(kTrialDigits.begin(), kTrialDigits.end()));
        qInfo("trial 1.2 s: %d intervals, mean error %.3f ms, SD %.3f ms, max %.3f ms", stats.count,
              stats.meanErrorMs, stats.sdMs, stats.maxAbsErrorMs);
        // Digits are placed to the sample; 5 ms is far outside what machine noise does to that,
        // and well inside what a pacer that starts sounds at its next buffer gets wrong.
        QVERIFY2(stats.maxAbsErrorMs < 5, qPrintable(QString::number(stats.maxAbsErrorMs)));
    }

    void theEndPutsTheSinkBack()
    {
        window->close();
        QCOMPARE(exits.ends, 1);
        QCOMPARE(sinkPercent(), 40);
        QCOMPARE(settings.volume(), QStringLiteral("100"));
        QVERIFY(messages.texts.isEmpty());
    }
};

QTEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
