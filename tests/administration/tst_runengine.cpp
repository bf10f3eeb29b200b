#include "FakePacingTimer.h"
#include "FakeSoundOutput.h"
#include "administration/OutputKeeper.h"
#include "ControlsRecorder.h"
#include "administration/RunEngine.h"

#include <QTest>

namespace {

// What the examinee must hear, written out here rather than taken from the program: the lists
// are the stimulus, so a changed digit must fail a test.
const QString kDemonstration = QStringLiteral("1234");
const QString kPractice = QStringLiteral("13425324113");
const QString kTrial = QStringLiteral("2751496538" "4326934586" "4871635927" "5347158346" "8548217591" "3629782476" "3");

}  // namespace

class tst_RunEngine : public QObject {
    Q_OBJECT

private slots:
    // Each script runs on a fresh engine: "demo", "practice", "pace0".."pace3" choose, "go" is the
    // start/stop button, "rewind" is "Reset Trial", "tickN" delivers N ticks of whichever timer
    // runs, "later" lets the output's close delay pass. Then: the digits heard, whether it runs,
    // the next position, "Reset Trial" enabled, the trials' pace and whether the sound output is
    // open: from the start of a run to the close delay after it paused or ended.
    void scriptsGiveTheirDigitsAndState_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("heard");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("resetEnabled");
        QTest::addColumn<int>("pace");
        QTest::addColumn<bool>("outputOpen");
        QTest::newRow("demonstration at start-up, ends by itself") << "go tick9" << kDemonstration << false << 0 << false << -1 << true;
        QTest::newRow("the same set again") << "go tick4 later go tick4" << kDemonstration + kDemonstration << false << 0 << false << -1 << true;
        QTest::newRow("practice") << "practice go tick20 later" << kPractice << false << 0 << false << -1 << false;
        const int paces[] = {2400, 2000, 1600, 1200};
        for (int pace = 0; pace < 4; ++pace)
            QTest::addRow("trial %d: 61 digits, then ready", pace)
                << QStringLiteral("pace%1 go tick70").arg(pace) << kTrial << false << 0 << false << paces[pace] << true;
        QTest::newRow("nothing at the start itself") << "pace1 go" << "" << true << 0 << false << -1 << true;
        QTest::newRow("pause keeps the place") << "pace1 go tick3 go tick5 later" << kTrial.left(3) << false << 3 << true << 2000 << false;
        QTest::newRow("resume with the next digit") << "pace1 go tick3 go go later tick1" << kTrial.left(4) << true << 4 << false << -1 << true;
        QTest::newRow("stop before the first tick") << "go go" << "" << false << 0 << true << -1 << true;
        QTest::newRow("rewind a paused run") << "pace3 go tick2 go later rewind go tick1" << kTrial.left(2) + kTrial.left(1) << true << 1 << false << -1 << true;
        QTest::newRow("a choice discards a pause") << "pace3 go tick30 go practice go tick1" << kTrial.left(30) + kPractice.left(1) << true << 1 << false << 1200 << true;
        QTest::newRow("back to the trial from its start") << "pace0 go tick30 go practice pace0 go tick1" << kTrial.left(30) + kTrial.left(1) << true << 1 << false << 2400 << true;
        QTest::newRow("introduction choice after a paused demo") << "go tick2 go practice go tick1" << "12" + kPractice.left(1) << true << 1 << false << -1 << true;
    }
    void scriptsGiveTheirDigitsAndState()
    {
        QFETCH(QString, script);
        QFETCH(QString, heard);
        QFETCH(bool, running);
        QFETCH(int, position);
        QFETCH(bool, resetEnabled);
        QFETCH(int, pace);
        QFETCH(bool, outputOpen);
        ControlsRecorder controls;
        FakePacingTimer introduction, trial, closeDelay;
        FakeSoundOutput output;
        QString played;
        bool onTheGrid = true;  // each digit carries its tick's due time, not the handler's moment
        RunEngine engine(controls, introduction, trial, [&](int digit, SteadyTime due) {
            played += QString::number(digit);
            onTheGrid &= due == (introduction.isActive() ? introduction : trial).dueTime();
        });
        OutputKeeper keeper(output, closeDelay);
        connect(&engine, &RunEngine::runningChanged, &keeper, &OutputKeeper::setNeeded);
        QVERIFY(!output.isOpen);
        for (const QString& step : script.split(' ')) {
            if (step == "demo")
                engine.chooseDemonstration();
            else if (step == "practice")
                engine.choosePractice();
            else if (step.startsWith("pace"))
                engine.chooseTrial(step.mid(4).toInt());
            else if (step == "go")
                engine.startOrPause();
            else if (step == "rewind")
                engine.rewind();
            else if (step == "later")
                closeDelay.tick();
            else
                for (int n = step.mid(4).toInt(); n > 0; --n)
                    introduction.tick() || trial.tick();
        }
        QCOMPARE(played, heard);
        QVERIFY(onTheGrid);
        QCOMPARE(engine.isRunning(), running);
        QCOMPARE(introduction.isActive() || trial.isActive(), running);
        QVERIFY(!(introduction.isActive() && trial.isActive()));
        QCOMPARE(engine.position(), position);
        QCOMPARE(controls.resetEnabled, resetEnabled);
        QCOMPARE(controls.caption, running ? QStringLiteral(" Stop") : QStringLiteral(" Start"));
        QCOMPARE(controls.picture, running ? 101 : 102);
        QCOMPARE(controls.menusEnabled, !running);
        QCOMPARE(controls.choicesEnabled, !running);
        if (pace > 0)
            QCOMPARE(trial.interval(), pace);
        QCOMPARE(introduction.interval(), 2400);
        QCOMPARE(output.isOpen, outputOpen);
    }
};

QTEST_GUILESS_MAIN(tst_RunEngine)
#include "tst_runengine.moc"
