#include "ListeningTrial.h"
#include "MessageRecorder.h"
#include "ProgramEndRecorder.h"
#include "SinkRecorder.h"
#include "TempSettings.h"
#include "app/MainWindow.h"
#include "app/RealServices.h"
#include "app/Startup.h"
#include "listening/RecogniserModule.h"
#include "recordsheet/SheetCounts.h"
#include "recordsheet/SheetResults.h"
#include "sound/Median.h"

#include <QElapsedTimer>
#include <QTest>

#include <cmath>

// The program as it starts, listening on the private PulseAudio rig, where the microphone hears
// the speakers through the rig's loopback: the 1.2 s trial given with Listen on, a synthetic
// examinee answering every item as planned (ListeningTrial::plan, no answer late) into the
// microphone. The sheet's pre-marks, sums, flags and latencies are held against the plan and
// against the answers' true onsets, found in one recording of the microphone beside the digits'
// onsets there.
class tst_ListeningOnServer : public QObject {
    Q_OBJECT

    // Measured over seven runs of this plan (no late answer): 42 to 51 items heard as planned
    // (sums rejected as something said, self-corrections and the item after one are most of those
    // missed). Against
    // the true onsets, each run's latencies are off by one amount of its own (-30, -28, -25, +55,
    // +61 and +96 ms: the rig's loopback, measured before the trial, is not the same during it),
    // and within a run all but one or two lie within 10 ms of that amount: what is held here is
    // that spread; the absolute figure waits for a rig that records both at once. Over six runs
    // on 11 December, 21 to 28 of the 27 to 32 answers found lay within 15 ms of their run's
    // amount: three in four are held, of however many the microphone's recording showed.
    static constexpr int kLeastRight = 38;
    static constexpr double kOnsetToleranceMs = 15;
    static constexpr double kLeastOnTolerance = 0.75;

    TempSettings settings;
    MessageRecorder messages;
    ProgramEndRecorder exits;
    double rigDelayMs = NAN;
    std::unique_ptr<RealServices> real;
    std::unique_ptr<QWidget> window;

private slots:
    void initTestCase()
    {
        QVERIFY2(privateSoundServer(), "run through `make test`, which starts the sound server");
        if (soundServerName() != QLatin1String("pulseaudio") || qEnvironmentVariableIsEmpty("OVREL_RIG_MICROPHONE"))
            QSKIP("the rig's microphone is heard at a known delay on the private PulseAudio server alone");
        if (const QString missing = ExamineeMouth::missing(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        QString problem;
        if (!RecogniserModule::make(&problem))
            QSKIP(qPrintable(problem));
        QVERIFY(ExamineeMouth::resetRig());
        QTest::qWait(1500);  // for the new loopback's stream to run (a real server's time)
        rigDelayMs = ExamineeMouth::rigDelayMs();
        QVERIFY(pactl({QStringLiteral("set-default-source"), QStringLiteral("ovrel_microphone.monitor")}));
        qInfo("the rig's loopback: %.2f ms", rigDelayMs);
        QVERIFY(std::isfinite(rigDelayMs));
        real = std::make_unique<RealServices>(messages, exits);
        window.reset(showMainWindow([this] { return loadMainWindow(real->services()); }, messages, exits));
        QVERIFY(window);
    }

    void theTrialIsHeardAsAnswered()
    {
        QElapsedTimer took;
        took.start();
        auto& main = static_cast<MainWindow&>(*window);
        QVERIFY(main.recordSheet().administrations().empty());
        const ListeningTrial::Given given = ListeningTrial::give(main, 1200, false, ExamineeMouth::Speech{}, false);
        QVERIFY2(given.fault.isEmpty(), qPrintable(given.fault));
        QCOMPARE(given.digitsPlayed, 61);
        const SheetAdministration& sheet = given.sheet;

        // Every digit went out on time, listening or not.
        QVERIFY2(*sheet.onTime, qPrintable(sheet.delivery + QLatin1Char('\n') + messages.texts.join(QLatin1Char('\n'))));
        const ListeningTrial::Score score = ListeningTrial::score(given, 1200, rigDelayMs);
        qInfo("%d digits heard whole at the microphone, from %.1f to %.1f ms off their pace", score.wholeDigits,
              score.strayFromMs, score.strayToMs);
        QVERIFY(score.wholeDigits >= 20);
        for (std::size_t item = 0; item < given.sums.size(); ++item) {
            // The sheet's mark is the voice's, as no key was pressed.
            QCOMPARE(sheet.marks[item], sheet.voice[item]->mark(given.sums[item]));
            QVERIFY(!sheet.byExaminer[item]);
        }
        std::vector<double> absErrors;
        for (const double error : score.errors)
            absErrors.push_back(std::fabs(error));
        const double offset = median(score.errors);
        int onTolerance = 0;
        for (const double error : score.errors)
            onTolerance += std::fabs(error - offset) <= kOnsetToleranceMs ? 1 : 0;
        qInfo("as planned %d of %zu (%s); %d of the items with nothing said heard as something", score.asPlanned, given.sums.size(),
              qPrintable(score.missed.join(QStringLiteral("; "))), score.fromDigits);
        qInfo("%d answers not found in the microphone's recording", score.unknownOnsets);
        qInfo("onset error: median %.1f ms, |error| median %.1f ms, 95th percentile %.1f ms, largest %.1f ms, %d of %zu within %.0f ms of the median",
              offset, median(absErrors), ListeningTrial::quantile(absErrors, 0.95), ListeningTrial::quantile(absErrors, 1),
              onTolerance, absErrors.size(), kOnsetToleranceMs);
        qInfo("decided after the window's end: median %.0f ms, 95th percentile %.0f ms, largest %.0f ms; the test took %.1f s",
              median(given.decidedAfterMs), ListeningTrial::quantile(given.decidedAfterMs, 0.95),
              ListeningTrial::quantile(given.decidedAfterMs, 1), took.elapsed() / 1000.0);

        QCOMPARE(score.fromDigits, 0);
        QVERIFY2(score.asPlanned >= kLeastRight, qPrintable(score.missed.join(QStringLiteral("; "))));
        QVERIFY(onTolerance >= kLeastOnTolerance * double(absErrors.size()));
        // The counts and the trial's line follow the marks the voice gave.
        const SheetCounts counts = SheetCounts::of(sheet);
        int correct = 0, wrong = 0;
        for (const SheetMark mark : sheet.marks) {
            correct += mark == SheetMark::Correct ? 1 : 0;
            wrong += mark == SheetMark::Wrong ? 1 : 0;
        }
        QCOMPARE(counts.correct, correct);
        QCOMPARE(counts.wrong, wrong);
        QCOMPARE(counts.noAnswer, int(given.sums.size()) - correct - wrong);
        QVERIFY2(SheetResults::trialLine(sheet).endsWith(QLatin1String("on time: yes")), qPrintable(SheetResults::trialLine(sheet)));
    }

    void cleanupTestCase()
    {
        if (window)
            window->close();
    }
};

QTEST_MAIN(tst_ListeningOnServer)
#include "tst_listeningonserver.moc"
