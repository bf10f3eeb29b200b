#include "SinkRecorder.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

// The program itself, ended from outside as the end of a desktop session ends it: by a signal,
// or by its display going away, also while Help, Check Sound Timing plays and records. Either way
// it must store the slider's position and put the sink's volume back, as its own Exit does.
class tst_SessionEnd : public QObject {
    Q_OBJECT


private slots:
    void initTestCase() { QVERIFY2(privateSoundServer(), "run through `make test`, which starts the sound server"); }

    void theProgramLeavesTheComputerAsFound_data()
    {
        QTest::addColumn<int>("signal");  // 0: the display goes away
        QTest::addColumn<bool>("duringCheck");
        QTest::newRow("SIGTERM (logout, shutdown)") << int(SIGTERM) << false;
        QTest::newRow("SIGHUP (terminal closed)") << int(SIGHUP) << false;
        QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT) << false;
        QTest::newRow("the X display goes away") << 0 << false;
        QTest::newRow("SIGTERM during a timing check") << int(SIGTERM) << true;
    }
    void theProgramLeavesTheComputerAsFound()
    {
        QFETCH(int, signal);
        QFETCH(bool, duringCheck);
        QVERIFY(pactl({"set-sink-volume", "@DEFAULT_SINK@", "80%"}));
        QTemporaryDir config;  // the settings store's folder, and ALSA's, where the rig has set it up
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        QFile::link(environment.value("XDG_CONFIG_HOME") + "/alsa", config.filePath("alsa"));
        environment.insert("XDG_CONFIG_HOME", config.path());
        QProcess display;
        if (signal == 0 || duringCheck) {
            const QString name = QStringLiteral(":%1").arg(100 + QCoreApplication::applicationPid() % 400);
            display.start("Xvfb", {name, "-nolisten", "tcp"});
            QVERIFY(display.waitForStarted());
            QTRY_VERIFY(QFile::exists("/tmp/.X11-unix/X" + name.mid(1)));
            environment.insert("QT_QPA_PLATFORM", "xcb");
            environment.insert("DISPLAY", name);
        }
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(OVREL_EXECUTABLE));
        QTRY_COMPARE_WITH_TIMEOUT(sinkPercent(), 25, 10000);  // nothing stored: the slider's default
        QTest::qWait(500);  // on its way into the event loop
        if (duringCheck) {
            // By keyboard, as an examiner would: Help, Check Sound Timing, Enter for Start; the
            // check runs once the program records.
            const auto xdotool = [&](const QString& command) {
                QProcess tool;
                tool.setProcessEnvironment(environment);
                tool.start(QStringLiteral("sh"), {"-c", "xdotool " + command});
                return tool.waitForFinished(10000) && tool.exitCode() == 0;
            };
            const int recordings = streamCount(QStringLiteral("source-outputs"));
            QVERIFY(xdotool("search --sync --name '^OVREL$' windowfocus --sync key --clearmodifiers alt+h"));
            QTest::qWait(300);
            QVERIFY(xdotool("key t"));
            QVERIFY(xdotool("search --sync --name '^Check Sound Timing$' windowfocus --sync key Return"));
            QTRY_COMPARE_WITH_TIMEOUT(streamCount(QStringLiteral("source-outputs")), recordings + 1, 5000);
            QTest::qWait(2000);  // the first digits are playing
        }
        if (signal == 0)
            display.kill();
        else
            QVERIFY(::kill(pid_t(program.processId()), signal) == 0);
        QVERIFY(program.waitForFinished(10000));
        if (duringCheck)
            display.kill();
        display.waitForFinished();
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sinkPercent(), 80);
        QCOMPARE(QSettings(config.filePath("OVREL.ini"), QSettings::IniFormat).value("Settings/Volume").toString(),
                 QStringLiteral("25"));
    }
};

QTEST_GUILESS_MAIN(tst_SessionEnd)
#include "tst_sessionend.moc"
