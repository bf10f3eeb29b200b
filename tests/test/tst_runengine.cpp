#include "FakeHiTime.h"
#include "test/DigitLists.h"
#include "test/RunControls.h"
#include "test/RunEngine.h"

#include <QTest>

namespace {

// The window's side of the engine, as state plus an ordered log of what was done.
struct ControlsRecorder final : RunControls {
    QString caption = QStringLiteral("Start");
    int picture = 102;
    bool resetEnabled = true, menusEnabled = true, optionsEnabled = true, focusOnStartStop = false;
    QStringList log;
    void setStartStopCaption(const QString& c) override { caption = c; log << "caption" + c; }
    void setStartStopPicture(int id) override { picture = id; log << QString("picture%1").arg(id); }
    void setResetEnabled(bool e) override { resetEnabled = e; log << QString("reset%1").arg(e); }
    void setMenusEnabled(bool e) override { menusEnabled = e; log << QString("menus%1").arg(e); }
    void setOptionsEnabled(bool e) override
    {
        optionsEnabled = e;
        log << QString("options%1").arg(e);
    }
    void clearTrialOptions() override { log << "clearTrial"; }
    void clearPreTestOptions() override { log << "clearPreTest"; }
    void focusStartStop() override { focusOnStartStop = true; }
};

}  // namespace

class tst_RunEngine : public QObject {
    Q_OBJECT

    ControlsRecorder controls;
    std::unique_ptr<FakeHiTime> practiceTimer, testTimer;
    std::vector<int> played;
    std::unique_ptr<RunEngine> engine;


    // Ticks whichever timer runs until the run ends or `limit` ticks have passed.
    int runToEnd(int limit = 100)
    {
        int n = 0;
        while (n < limit && (practiceTimer->tick() || testTimer->tick()))
            ++n;
        return n;
    }
    void expectReady()
    {
        QVERIFY(!engine->Running());
        QVERIFY(!practiceTimer->Enabled() && !testTimer->Enabled());
        QCOMPARE(controls.caption, QStringLiteral(" Start"));
        QVERIFY(controls.menusEnabled && controls.optionsEnabled);
        QVERIFY(!controls.resetEnabled);
        QCOMPARE(engine->PreTestPosition(), 0);
        QCOMPARE(engine->TrialPosition(), 0);
    }

private slots:
    void init()
    {
        controls = ControlsRecorder{};
        played.clear();
        engine.reset();
        practiceTimer = std::make_unique<FakeHiTime>();
        testTimer = std::make_unique<FakeHiTime>();
        engine = std::make_unique<RunEngine>(controls, *practiceTimer, *testTimer, [this](int d) {
            played.push_back(d);
            return 1;
        });
        engine->Form_Load();
    }

    void listsHoldTheirInvariants()
    {
        for (int d : TrialDigits)
            QVERIFY(d >= 1 && d <= 9);
        for (std::size_t i = 1; i < TrialDigits.size(); ++i) {
            QVERIFY(TrialDigits[i] != TrialDigits[i - 1]);
            const int sum = TrialDigits[i] + TrialDigits[i - 1];
            QVERIFY(sum >= 3 && sum <= 16);
        }
        int equalNeighbours = 0;
        for (std::size_t i = 1; i < PracticeDigits.size(); ++i)
            equalNeighbours += PracticeDigits[i] == PracticeDigits[i - 1];
        QCOMPARE(equalNeighbours, 1);
        QCOMPARE(PracticeDigits[8], 1);
        QCOMPARE(PracticeDigits[9], 1);
    }

    void loadLeavesTheDemonstrationReady()
    {
        QVERIFY(engine->PreTestMode());
        QCOMPARE(engine->PreTestSet(), 0);
        QVERIFY(!engine->Running());
        QVERIFY(!controls.resetEnabled);
    }

    void demonstrationPlaysFourDigitsThenEndsByItself()
    {
        engine->cmdStartStop_Click();
        QVERIFY(engine->Running());
        QVERIFY(practiceTimer->Enabled() && !testTimer->Enabled());
        QVERIFY(played.empty());  // nothing at the moment of the start
        QCOMPARE(controls.caption, QStringLiteral(" Stop"));
        QVERIFY(!controls.menusEnabled && !controls.optionsEnabled && !controls.resetEnabled);
        QCOMPARE(practiceTimer->Interval(), 2400);
        QCOMPARE(runToEnd(), 4);
        QCOMPARE(played, (std::vector<int>{1, 2, 3, 4}));
        expectReady();
        // The same set again, from its first digit.
        engine->cmdStartStop_Click();
        QCOMPARE(runToEnd(), 4);
        QCOMPARE(played.size(), std::size_t(8));
    }

    void bothPracticeButtonsPresentTheSameElevenDigits()
    {
        for (qint16 index : {1, 2}) {
            played.clear();
            engine->optPreTest_Click(index);
            QCOMPARE(engine->PreTestSet(), 1);
            engine->cmdStartStop_Click();
            QCOMPARE(runToEnd(), 11);
            QCOMPARE(played, std::vector<int>(PracticeDigits.begin(), PracticeDigits.end()));
            QCOMPARE(practiceTimer->Interval(), 2400);
        }
    }

    void everyTrialPresentsTheSame61DigitsAtItsPace_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("interval");
        QTest::newRow("2.4") << 1 << 2400;
        QTest::newRow("2.0") << 2 << 2000;
        QTest::newRow("1.6") << 3 << 1600;
        QTest::newRow("1.2") << 4 << 1200;
    }
    void everyTrialPresentsTheSame61DigitsAtItsPace()
    {
        QFETCH(int, index);
        QFETCH(int, interval);
        engine->optTrial_Click(qint16(index));
        QVERIFY(!engine->PreTestMode());
        QCOMPARE(testTimer->Interval(), interval);
        QVERIFY(controls.focusOnStartStop);
        QVERIFY(controls.log.contains("clearPreTest"));
        engine->cmdStartStop_Click();
        QVERIFY(testTimer->Enabled() && !practiceTimer->Enabled());
        QCOMPARE(runToEnd(), 61);
        QCOMPARE(played, std::vector<int>(TrialDigits.begin(), TrialDigits.end()));
        expectReady();
    }

    void pauseKeepsThePositionAndResumesAtTheNextDigit()
    {
        engine->optTrial_Click(2);
        engine->cmdStartStop_Click();
        for (int i = 0; i < 3; ++i)
            testTimer->tick();
        engine->cmdStartStop_Click();
        QVERIFY(!engine->Running());
        QVERIFY(!testTimer->tick());  // no tick once disabled
        QCOMPARE(engine->TrialPosition(), 3);
        QVERIFY(controls.resetEnabled && controls.menusEnabled && controls.optionsEnabled);
        QCOMPARE(controls.caption, QStringLiteral(" Start"));
        engine->cmdStartStop_Click();
        QVERIFY(!controls.resetEnabled);
        testTimer->tick();
        QCOMPARE(played.back(), TrialDigits[3]);
    }

    void resetRewindsAPausedRun()
    {
        engine->optTrial_Click(4);
        engine->cmdStartStop_Click();
        testTimer->tick();
        testTimer->tick();
        engine->cmdStartStop_Click();
        controls.focusOnStartStop = false;
        engine->cmdReset_Click();
        QCOMPARE(engine->TrialPosition(), 0);
        QVERIFY(!controls.resetEnabled);
        QVERIFY(controls.focusOnStartStop);
        QVERIFY(!testTimer->Enabled() && !practiceTimer->Enabled());
        engine->cmdStartStop_Click();
        testTimer->tick();
        QCOMPARE(played.back(), TrialDigits[0]);
    }

    void stopBeforeTheFirstTickPlaysNothing()
    {
        engine->cmdStartStop_Click();
        engine->cmdStartStop_Click();
        QVERIFY(played.empty());
        QCOMPARE(engine->PreTestPosition(), 0);
        QVERIFY(controls.resetEnabled);
        engine->cmdStartStop_Click();
        practiceTimer->tick();
        QCOMPARE(played, std::vector<int>{1});
    }

    void aSelectionWhilePausedDiscardsThePause()
    {
        engine->optTrial_Click(1);
        engine->cmdStartStop_Click();
        for (int i = 0; i < 30; ++i)
            testTimer->tick();
        engine->cmdStartStop_Click();
        engine->optPreTest_Click(1);
        QVERIFY(!controls.resetEnabled);
        QVERIFY(controls.log.contains("clearTrial"));
        QCOMPARE(testTimer->Interval(), 2400);  // an introduction choice leaves the trial pace alone
        engine->optTrial_Click(1);
        QCOMPARE(engine->TrialPosition(), 0);
        engine->cmdStartStop_Click();
        played.clear();
        testTimer->tick();
        QCOMPARE(played, std::vector<int>{TrialDigits[0]});
    }

    void stepsRunInTheirOrder()
    {
        engine->cmdStartStop_Click();
        QCOMPARE(controls.log.mid(1),
                 QStringList({"caption Stop", "picture101", "reset0", "menus0", "options0"}));
        controls.log.clear();
        engine->cmdStartStop_Click();
        QCOMPARE(controls.log,
                 QStringList({"options1", "reset1", "menus1", "caption Start", "picture102"}));
        engine->cmdStartStop_Click();
        controls.log.clear();
        runToEnd();
        QCOMPARE(controls.log, QStringList({"menus1", "caption Start", "picture102", "options1"}));
    }
};

QTEST_GUILESS_MAIN(tst_RunEngine)
#include "tst_runengine.moc"
