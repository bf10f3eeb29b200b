#include "FakePacingTimer.h"
#include "presentation/RunControls.h"
#include "presentation/RunEngine.h"

#include <QTest>

namespace {

// What the examinee must hear, written out here rather than taken from the program: the lists
// are the stimulus, so a changed digit must fail a test.
const QString kDemonstration = QStringLiteral("1234");
const QString kPractice = QStringLiteral("13425324113");
const QString kTrial = QStringLiteral("2751496538" "4326934586" "4871635927" "5347158346" "8548217591" "3629782476" "3");

// The window's side of the engine, as state plus an ordered log of what was done.
struct ControlsRecorder final : RunControls {
    QString caption = QStringLiteral("Start");
    bool resetEnabled = true, menusEnabled = true, choicesEnabled = true;
    QStringList log;
    void setStartStopCaption(const QString& c) override { caption = c, log << "caption" + c; }
    void setStartStopPicture(int id) override { log << QStringLiteral("picture%1").arg(id); }
    void setResetEnabled(bool e) override { resetEnabled = e, log << QStringLiteral("reset%1").arg(e); }
    void setMenusEnabled(bool e) override { menusEnabled = e, log << QStringLiteral("menus%1").arg(e); }
    void setChoicesEnabled(bool e) override { choicesEnabled = e, log << QStringLiteral("choices%1").arg(e); }
    void clearPaceChoice() override { log << "clearPace"; }
    void clearIntroductionChoice() override { log << "clearIntroduction"; }
    void focusStartStop() override { log << "focus"; }
};

}  // namespace

class tst_RunEngine : public QObject {
    Q_OBJECT

private slots:
    // Each script runs on a fresh engine: "demo", "practice", "pace0".."pace3" choose, "go" is the
    // start/stop button, "rewind" is "Reset Trial", "tickN" delivers N ticks of whichever timer
    // runs. Then: the digits heard, whether it runs, the next position, "Reset Trial" enabled.
    void scriptsGiveTheirDigitsAndState_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("heard");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("resetEnabled");
        QTest::newRow("demonstration at start-up, ends by itself") << "go tick9" << kDemonstration << false << 0 << false;
        QTest::newRow("the same set again") << "go tick4 go tick4" << kDemonstration + kDemonstration << false << 0 << false;
        QTest::newRow("practice") << "practice go tick20" << kPractice << false << 0 << false;
        for (int pace = 0; pace < 4; ++pace)
            QTest::addRow("trial %d: 61 digits, then ready", pace) << QStringLiteral("pace%1 go tick70").arg(pace) << kTrial << false << 0 << false;
        QTest::newRow("nothing at the start itself") << "pace1 go" << "" << true << 0 << false;
        QTest::newRow("pause keeps the place") << "pace1 go tick3 go tick5" << kTrial.left(3) << false << 3 << true;
        QTest::newRow("resume with the next digit") << "pace1 go tick3 go go tick1" << kTrial.left(4) << true << 4 << false;
        QTest::newRow("stop before the first tick") << "go go" << "" << false << 0 << true;
        QTest::newRow("rewind a paused run") << "pace3 go tick2 go rewind go tick1" << kTrial.left(2) + kTrial.left(1) << true << 1 << false;
        QTest::newRow("a choice discards a pause") << "pace0 go tick30 go practice pace0 go tick1" << kTrial.left(30) + kTrial.left(1) << true << 1 << false;
        QTest::newRow("introduction choice after a paused demo") << "go tick2 go practice go tick1" << "12" + kPractice.left(1) << true << 1 << false;
    }
    void scriptsGiveTheirDigitsAndState()
    {
        QFETCH(QString, script);
        QFETCH(QString, heard);
        QFETCH(bool, running);
        QFETCH(int, position);
        QFETCH(bool, resetEnabled);
        ControlsRecorder controls;
        FakePacingTimer introduction, trial;
        QString played;
        RunEngine engine(controls, introduction, trial, [&](int digit, SteadyTime) { played += QString::number(digit); });
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
            else
                for (int n = step.mid(4).toInt(); n > 0; --n)
                    introduction.tick() || trial.tick();
        }
        QCOMPARE(played, heard);
        QCOMPARE(engine.isRunning(), running);
        QCOMPARE(introduction.isActive() || trial.isActive(), running);
        QVERIFY(!(introduction.isActive() && trial.isActive()));
        QCOMPARE(engine.position(), position);
        QCOMPARE(controls.resetEnabled, resetEnabled);
        QCOMPARE(controls.caption, running ? QStringLiteral(" Stop") : QStringLiteral(" Start"));
        QCOMPARE(controls.menusEnabled, !running);
        QCOMPARE(controls.choicesEnabled, !running);
    }

    void eachSetHasItsPaceAndItsTimer()
    {
        ControlsRecorder controls;
        FakePacingTimer introduction, trial;
        RunEngine engine(controls, introduction, trial, [](int, SteadyTime) {});
        const int paces[] = {2400, 2000, 1600, 1200};
        for (int pace = 0; pace < 4; ++pace) {
            engine.chooseTrial(pace);
            QCOMPARE(trial.interval(), paces[pace]);
        }
        engine.choosePractice();
        QCOMPARE(trial.interval(), 1200);  // an introduction choice leaves the trial pace alone
        QCOMPARE(introduction.interval(), 2400);
        engine.startOrPause();
        QVERIFY(introduction.isActive() && !trial.isActive());
    }

    // A digit belongs to its tick's due time, not to the moment the handler ran.
    void aDigitCarriesItsTicksDueTime()
    {
        ControlsRecorder controls;
        FakePacingTimer introduction, trial;
        std::vector<SteadyTime> dues;
        RunEngine engine(controls, introduction, trial, [&](int, SteadyTime due) { dues.push_back(due); });
        engine.chooseTrial(3);
        engine.startOrPause();
        trial.tick();
        trial.tick();
        QCOMPARE(dues.back(), trial.dueTime());
        QCOMPARE(dues[1] - dues[0], SteadyTime::duration(std::chrono::milliseconds(1200)));
    }

    void stepsRunInTheirOrder()
    {
        ControlsRecorder controls;
        FakePacingTimer introduction, trial;
        RunEngine engine(controls, introduction, trial, [](int, SteadyTime) {});
        controls.log.clear();
        engine.chooseTrial(0);
        QCOMPARE(controls.log, QStringList({"clearIntroduction", "reset0", "focus"}));
        controls.log.clear();
        engine.startOrPause();
        QCOMPARE(controls.log, QStringList({"caption Stop", "picture101", "reset0", "menus0", "choices0"}));
        controls.log.clear();
        engine.startOrPause();
        QCOMPARE(controls.log, QStringList({"choices1", "reset1", "menus1", "caption Start", "picture102"}));
        engine.startOrPause();
        controls.log.clear();
        while (trial.tick()) {
        }
        QCOMPARE(controls.log, QStringList({"menus1", "caption Start", "picture102", "choices1"}));
    }
};

QTEST_GUILESS_MAIN(tst_RunEngine)
#include "tst_runengine.moc"
