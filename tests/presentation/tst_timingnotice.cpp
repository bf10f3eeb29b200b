#include "PlantedRun.h"
#include "SinkRecorder.h"
#include "TempSettings.h"
#include "app/Startup.h"
#include "platform/MessageRecorder.h"
#include "platform/ProgramEndRecorder.h"
#include "presentation/MainWindow.h"

#include <QProcess>
#include <QSlider>
#include <QTest>

// Faults planted in the sound's way while the real program gives the demonstration through the
// private sound server: each must end in a notice that names the digit it befell, the third, and
// no digit the sink heard on time. A clean run says nothing.
class tst_TimingNotice : public QObject {
    Q_OBJECT

    TempSettings settings;
    MessageRecorder messages;
    ProgramEndRecorder exits;
    std::unique_ptr<QWidget> window;

    PlantedRun give(const std::function<void()>& plant)
    {
        return PlantedRun::give(static_cast<MainWindow&>(*window), messages, plant);
    }
    static QString describe(const PlantedRun& run)
    {
        QString heard;
        for (const auto& f : run.heard)
            heard += QStringLiteral(" %1 at %2 ms (%3)").arg(f.digit).arg(f.sample / 44.1, 0, 'f', 1).arg(f.match, 0, 'f', 2);
        return QStringLiteral("told: %1\nheard:%2").arg(run.notices.join(QStringLiteral(" | ")), heard);
    }
    static void verifyNamesThirdDigit(const PlantedRun& run)
    {
        const std::set<int> named = run.named();
        const std::set<int> off = run.offGrid();
        qInfo("%s", qPrintable(describe(run)));
        QVERIFY2(run.notices.size() == 1 && named.count(3), qPrintable(describe(run)));
        QVERIFY2(std::includes(off.begin(), off.end(), named.begin(), named.end()), qPrintable(describe(run)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(privateSoundServer(), "run through `make test`, which starts the sound server");
        window.reset(showMainWindow(loadMainWindow));
        QVERIFY(window);
        window->findChild<QSlider*>(QStringLiteral("volumeSlider"))->setValue(100);
    }

    void aCleanRunSaysNothing()
    {
        const PlantedRun run = give({});
        QVERIFY2(run.notices.isEmpty(), qPrintable(describe(run)));
    }

    void aStoppedServerIsNoticed()
    {
        verifyNamesThirdDigit(give([] { QVERIFY(PlantedRun::stopServer(300)); }));
    }

    void aStarvedAudioThreadIsNoticed()
    {
        if (QProcess::execute(QStringLiteral("chrt"), {"-f", "50", "true"}) != 0)
            QSKIP("real-time scheduling is not allowed here");
        verifyNamesThirdDigit(give([] { PlantedRun::starveAudioThread(150); }));
    }
};

QTEST_MAIN(tst_TimingNotice)
#include "tst_timingnotice.moc"
