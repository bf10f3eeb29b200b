#include "FakePacingTimer.h"
#include "FakeSoundOutput.h"
#include "TappedOutput.h"
#include "session/TestSession.h"

#include <QMetaEnum>
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
    // Each script runs on a fresh session: "demo", "practice", "pace0".."pace3" choose, "go" is the
    // start/stop button, "rewind" is "Reset Trial", "tickN" delivers N ticks of whichever timer
    // runs, "later" lets the output's close delay pass. Then: the digits heard, the state, the
    // next position, the signals that named each change of state, the trials' pace and whether
    // the sound output is open: from the start of a run to the close delay after it paused or
    // ended.
    void scriptsGiveTheirDigitsAndState_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("heard");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("pace");
        QTest::addColumn<bool>("outputOpen");
        QTest::newRow("ready at start-up") << "" << "" << "Ready" << 0 << "" << -1 << false;
        QTest::newRow("a choice opens nothing") << "pace2 practice" << "" << "Ready" << 0 << "rewound rewound" << 1600 << false;
        QTest::newRow("demonstration, ends by itself") << "go tick9" << kDemonstration << "Finished" << 0 << "started finished" << -1 << true;
        QTest::newRow("the same set again") << "go tick4 later go tick4" << kDemonstration + kDemonstration << "Finished" << 0
                                            << "started finished started finished" << -1 << true;
        QTest::newRow("practice") << "practice go tick20 later" << kPractice << "Finished" << 0 << "rewound started finished" << -1 << false;
        const int paces[] = {2400, 2000, 1600, 1200};
        for (int pace = 0; pace < 4; ++pace)
            QTest::addRow("trial %d: 61 digits", pace)
                << QStringLiteral("pace%1 go tick70").arg(pace) << kTrial << "Finished" << 0 << "rewound started finished" << paces[pace] << true;
        QTest::newRow("nothing at the start itself") << "pace1 go" << "" << "Running" << 0 << "rewound started" << -1 << true;
        QTest::newRow("pause keeps the place") << "pace1 go tick3 go tick5 later" << kTrial.left(3) << "Paused" << 3
                                               << "rewound started paused" << 2000 << false;
        QTest::newRow("resume with the next digit") << "pace1 go tick3 go go later tick1" << kTrial.left(4) << "Running" << 4
                                                    << "rewound started paused resumed" << -1 << true;
        QTest::newRow("paused before the first digit") << "go go" << "" << "Paused" << 0 << "started paused" << -1 << true;
        QTest::newRow("going on before the first digit is a start") << "go go go tick1" << "1" << "Running" << 1
                                                                     << "started paused started" << -1 << true;
        QTest::newRow("rewind a paused run") << "pace3 go tick2 go later rewind go tick1" << kTrial.left(2) + kTrial.left(1) << "Running" << 1
                                             << "rewound started paused rewound started" << -1 << true;
        QTest::newRow("a choice discards a pause") << "pace3 go tick30 go practice go tick1" << kTrial.left(30) + kPractice.left(1) << "Running" << 1
                                                   << "rewound started paused rewound started" << 1200 << true;
        QTest::newRow("no choice or rewind while running") << "pace0 go tick2 practice pace3 rewind tick1" << kTrial.left(3) << "Running" << 3
                                                           << "rewound started" << 2400 << true;
        QTest::newRow("the program's end pauses") << "go tick2 halt tick3" << "12" << "Paused" << 2 << "started paused" << -1 << true;
    }
    void scriptsGiveTheirDigitsAndState()
    {
        QFETCH(QString, script);
        QFETCH(QString, heard);
        QFETCH(QString, state);
        QFETCH(int, position);
        QFETCH(QString, told);
        QFETCH(int, pace);
        QFETCH(bool, outputOpen);
        FakeSoundOutput sink;
        TappedOutput output(sink);
        TestSession session(output, [](QObject* parent) { return new FakePacingTimer(parent); });
        auto& introduction = static_cast<FakePacingTimer&>(session.introductionTimer());
        auto& trial = static_cast<FakePacingTimer&>(session.trialTimer());
        RunEngine& engine = session.engine();
        QStringList signalsSeen;
        const std::pair<void (RunEngine::*)(), const char*> named[] = {
            {&RunEngine::started, "started"}, {&RunEngine::resumed, "resumed"}, {&RunEngine::paused, "paused"},
            {&RunEngine::finished, "finished"}, {&RunEngine::rewound, "rewound"}};
        for (const auto& [signal, name] : named)
            connect(&engine, signal, this, [&signalsSeen, name = name] { signalsSeen << QLatin1String(name); });
        bool onTheGrid = true;  // each digit carries its tick's due time, not the handler's moment
        connect(&session, &TestSession::digitPlayed, this, [&](SteadyTime due, SteadyTime) {
            onTheGrid &= due == (introduction.isActive() ? introduction : trial).dueTime();
        });
        QVERIFY(!sink.isOpen);
        for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
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
            else if (step == "halt")
                engine.halt();
            else if (step == "later")
                static_cast<FakePacingTimer&>(session.closeTimer()).tick();
            else
                for (int n = step.mid(4).toInt(); n > 0; --n)
                    introduction.tick() || trial.tick();
        }
        QString played;
        for (int digit : output.digits)
            played += QString::number(digit);
        QCOMPARE(played, heard);
        QVERIFY(onTheGrid);
        QCOMPARE(stateName(engine.state()), state);
        QCOMPARE(signalsSeen.join(' '), told);
        QCOMPARE(introduction.isActive() || trial.isActive(), state == "Running");
        QVERIFY(!(introduction.isActive() && trial.isActive()));
        QCOMPARE(engine.position(), position);
        if (pace > 0)
            QCOMPARE(trial.interval(), pace);
        QCOMPARE(introduction.interval(), 2400);
        QCOMPARE(sink.isOpen, outputOpen);
        // The close delay runs only while an output a run let go waits to close.
        QCOMPARE(session.closeTimer().isActive(), outputOpen && state != "Running");
    }

private:
    static QString stateName(RunEngine::State state)
    {
        return QLatin1String(QMetaEnum::fromType<RunEngine::State>().valueToKey(int(state)));
    }
};

QTEST_GUILESS_MAIN(tst_RunEngine)
#include "tst_runengine.moc"
