#include "MainWindowRig.h"
#include "session/TestSession.h"
#include "SinkRecorder.h"
#include "sound/DefaultOutput.h"
#include "sound/DigitPlayer.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <csignal>

// The sound server dies in the middle of a trial, or comes up only after the program: runs go on
// silently, and once a server is there the next digits are heard. Each case runs in a process of
// its own (see CMakeLists.txt), since ALSA reads its configuration once per process.
class tst_SoundServer : public QObject {
    Q_OBJECT

    // Another private server on the same socket; detached, and off this test's output, which the
    // test runner waits on.
    static bool startServer()
    {
        QProcess server;
        server.setProgram(qEnvironmentVariable("OVREL_PULSE_SERVER_SCRIPT"));
        server.setStandardOutputFile(QProcess::nullDevice());
        server.setStandardErrorFile(QProcess::nullDevice());
        if (!server.startDetached())
            return false;
        QElapsedTimer waited;
        waited.start();
        while (!pactl({"info"}) && waited.elapsed() < 10000)
            QTest::qWait(100);
        return pactl({"set-sink-volume", "@DEFAULT_SINK@", "100%"}).has_value();
    }

private slots:
    void initTestCase() { QVERIFY2(privateSoundServer(), "run through `make test`"); }

    void aServerKilledMidTrialIsFoundAgainForTheNextRun()
    {
        MainWindowRig rig;
        MainWindow& w = rig.build(true, true);
        const std::vector<bool>& started = rig.output->started;
        QVERIFY(DefaultOutput::instance().open());
        rig.child<QRadioButton>("pace12Button").click();
        w.session().trialTimer().setInterval(250);  // the real timer, at a pace that keeps the test short
        rig.child<QToolButton>("startStopButton").click();
        QTRY_VERIFY_WITH_TIMEOUT(started.size() >= 8, 10000);
        const pid_t server = pid_t(qEnvironmentVariableIntValue("OVREL_PULSE_PID"));
        QVERIFY2(server > 0, "needs the private PulseAudio server");  // 0 would kill this process group
        QVERIFY(::kill(server, SIGKILL) == 0);
        QTRY_VERIFY_WITH_TIMEOUT(!w.engine().isRunning(), 61 * 250 + 5000);
        QCOMPARE(started.size(), std::size_t(61));  // every tick came, heard or not
        QVERIFY(std::count(started.begin(), started.begin() + 8, true) == 8);
        QVERIFY(rig.messages.texts.isEmpty());

        QVERIFY(startServer());
        SinkRecorder recorder;
        QVERIFY(recorder.start());
        rig.child<QRadioButton>("demoButton").click();
        rig.child<QToolButton>("startStopButton").click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.engine().isRunning(), 4 * 2400 + 3000);
        QTest::qWait(2500);
        QCOMPARE(digitsHeard(recorder.stop()), std::vector<int>({1, 2, 3, 4}));
    }

    // Without a server nothing starts, and at once: a tick is never held up by it.
    void aServerThatComesLaterIsFound()
    {
        QVERIFY(pactl({"exit"}));  // before anything in this process has touched the sound system
        QTRY_VERIFY_WITH_TIMEOUT(!pactl({"info"}), 10000);
        DigitPlayer player(DefaultOutput::instance());
        QVERIFY(!player.play(5, std::chrono::steady_clock::now()));
        QElapsedTimer again;
        again.start();
        QVERIFY(!player.play(5, std::chrono::steady_clock::now()));
        QVERIFY(again.elapsed() < 50);
        QVERIFY(startServer());
        QTest::qWait(int(PlacedOutput::kRetryInterval.count()) + 100);
        SinkRecorder recorder;
        QVERIFY(recorder.start());
        QVERIFY(player.play(5, std::chrono::steady_clock::now()));
        QTest::qWait(2500);
        QCOMPARE(digitsHeard(recorder.stop()), std::vector<int>{5});
    }
};

QTEST_MAIN(tst_SoundServer)
#include "tst_soundserver.moc"
