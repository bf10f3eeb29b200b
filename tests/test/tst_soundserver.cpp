#include "DigitLocator.h"
#include "SinkRecorder.h"
#include "Windows.h"
#include "platform/HiTime.h"
#include "platform/PortAudioOutput.h"
#include "test/DigitLists.h"
#include "test/frmOvrel.h"
#include "test/modOvrel.h"

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
        PlayingWindow playing;
        frmOvrel& w = playing.w;
        const std::vector<int>& results = playing.results;
        const auto& messages = playing.messages;
        QVERIFY(PortAudioOutput::instance().open());

        w.optTrial[4]->click();
        w.tmrTest().setInterval(250);  // the real timer, at a pace that keeps the test short
        w.cmdStartStop->click();
        QTRY_VERIFY_WITH_TIMEOUT(results.size() >= 8, 10000);
        QVERIFY(::kill(pid_t(qEnvironmentVariableIntValue("OVREL_PULSE_PID")), SIGKILL) == 0);
        QTRY_VERIFY_WITH_TIMEOUT(!w.engine().Running(), 61 * 250 + 5000);
        QCOMPARE(results.size(), std::size_t(61));  // every tick came, heard or not
        QCOMPARE(w.engine().TrialPosition(), 0);
        QVERIFY(std::count(results.begin(), results.begin() + 8, 1) == 8);
        QVERIFY(messages.messages.empty());

        QVERIFY(startServer());
        SinkRecorder recorder;
        QVERIFY(recorder.start());
        w.optPreTest[0]->click();
        w.cmdStartStop->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.engine().Running(), 4 * 2400 + 3000);
        QTest::qWait(2500);
        std::vector<int> heard;
        for (const auto& f : DigitLocator().locate(recorder.stop()))
            heard.push_back(f.digit);
        QCOMPARE(heard, std::vector<int>(DemoDigits.begin(), DemoDigits.end()));
    }

    void aServerThatComesLaterIsFound()
    {
        QVERIFY(pactl({"exit"}));  // before anything in this process has touched the sound system
        QTRY_VERIFY_WITH_TIMEOUT(!pactl({"info"}), 10000);
        QCOMPARE(PlayDigit(5), 0);
        QVERIFY(startServer());
        QTest::qWait(int(PortAudioOutput::kRetryInterval.count()) + 100);
        SinkRecorder recorder;
        QVERIFY(recorder.start());
        QCOMPARE(PlayDigit(5), 1);
        QTest::qWait(2500);
        const auto found = DigitLocator().locate(recorder.stop());
        QCOMPARE(found.size(), std::size_t(1));
        QCOMPARE(found[0].digit, 5);
    }
};

QTEST_MAIN(tst_SoundServer)
#include "tst_soundserver.moc"
