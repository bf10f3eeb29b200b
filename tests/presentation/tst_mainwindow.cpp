#include "MainWindowRig.h"

#include <QDir>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QTemporaryFile>
#include <QTest>
#include <QToolButton>

// The main window's wiring: the run through its controls, the stored volume at start and at the
// end, and a long session of random clicks.
class tst_MainWindow : public QObject {
    Q_OBJECT

private slots:
    void theStoredPositionSetsTheVolume_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("position");
        QTest::newRow("nothing stored") << QByteArray() << 25;
        QTest::newRow("60") << QByteArray("[Settings]\nVolume=60\n") << 60;
        QTest::newRow("0, the slider's own value") << QByteArray("[Settings]\nVolume=0\n") << 0;
        QTest::newRow("99.5") << QByteArray("[Settings]\nVolume=99.5\n") << 100;
        QTest::newRow("1e3") << QByteArray("[Settings]\nVolume=1e3\n") << 25;
        QTest::newRow("not text") << QByteArray("[Settings]\nVolume=\xff\xfe\x80\x01\n") << 25;
        QTest::newRow("a line without a value") << QByteArray("[Settings]\nVolume\n") << 25;
    }
    void theStoredPositionSetsTheVolume()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, position);
        MainWindowRig rig;
        rig.settings.write(ini);
        rig.mixer.level = 40000;
        rig.build();
        QCOMPARE(rig.child<QSlider>("volumeSlider").value(), position);
        QCOMPARE(rig.mixer.level, MasterVolume::rawFromPercent(65535, position));
        QVERIFY(rig.messages.texts.isEmpty());
    }

    // File, Exit and the close box, also in the middle of a run: the position is stored, the
    // computer's own level comes back, the program ends once and no tick follows.
    void theEndStoresThePositionAndPutsTheVolumeBack_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("running");
        QTest::newRow("File, Exit") << false << false;
        QTest::newRow("close box during a run") << true << true;
    }
    void theEndStoresThePositionAndPutsTheVolumeBack()
    {
        QFETCH(bool, closeBox);
        QFETCH(bool, running);
        MainWindowRig rig;
        rig.mixer.level = 40000;
        MainWindow& w = rig.build();
        w.show();
        rig.child<QSlider>("volumeSlider").setValue(35);
        QCOMPARE(rig.mixer.level, 22937u);
        if (running)
            rig.child<QToolButton>("startStopButton").click();
        if (closeBox)
            w.close();
        else
            rig.action("E&xit").trigger();
        QCOMPARE(rig.exits.ends, 1);
        QCOMPARE(rig.settings.volume(), QStringLiteral("35"));
        QCOMPARE(rig.mixer.level, 39976u);  // 61 % of 65535
        QVERIFY(!rig.timer(false).tick() && !rig.timer(true).tick());
        QCOMPARE(rig.mixer.opened, rig.mixer.closed);
    }

    void aStoreThatCannotBeWrittenLosesOnlyThePosition()
    {
        MainWindowRig rig;
        QVERIFY(QDir().mkpath(rig.settings.file()));  // the store's file is a folder
        rig.build();
        QCOMPARE(rig.child<QSlider>("volumeSlider").value(), 25);
        rig.action("E&xit").trigger();
        QCOMPARE(rig.exits.ends, 1);
    }

    void withoutAMixerTheProgramRunsAndRemembersThePosition()
    {
        MainWindowRig rig;
        rig.mixer.failOpen = true;
        rig.build();
        QCOMPARE(rig.messages.texts, QStringList(2, "No mixer found!"));  // the reading, the setting
        rig.child<QSlider>("volumeSlider").setValue(70);
        QCOMPARE(rig.messages.texts.size(), 3);  // each attempt says so
        rig.child<QToolButton>("startStopButton").click();
        while (rig.timer(false).tick()) {
        }
        rig.action("E&xit").trigger();
        QCOMPARE(rig.settings.volume(), QStringLiteral("70"));
        QCOMPARE(rig.messages.texts.size(), 3);  // nothing to put back at the end
        QCOMPARE(rig.played, std::vector<int>({1, 2, 3, 4}));
    }

    void theButtonShowsItsPictureOrItsCaptionAlone_data()
    {
        QTest::addColumn<bool>("temporaryFolder");
        QTest::newRow("temporary folder") << true;
        QTest::newRow("no temporary folder") << false;
    }
    void theButtonShowsItsPictureOrItsCaptionAlone()
    {
        QFETCH(bool, temporaryFolder);
        QTemporaryFile plain;
        QVERIFY(plain.open());
        if (!temporaryFolder)
            qputenv("TMPDIR", QFile::encodeName(plain.fileName() + QStringLiteral("/tmp")));
        MainWindowRig rig;
        rig.build();
        QToolButton& button = rig.child<QToolButton>("startStopButton");
        for (const char* caption : {" Stop", " Start"}) {
            button.click();
            QCOMPARE(button.text(), QLatin1String(caption));
            QCOMPARE(button.icon().isNull(), !temporaryFolder);
        }
        qunsetenv("TMPDIR");
        QVERIFY(rig.messages.texts.isEmpty());
    }

    // A long session of random clicks and ticks: the window always shows the engine's state.
    void aThousandRandomStepsKeepWindowAndEngineTogether()
    {
        MainWindowRig rig;
        MainWindow& w = rig.build();
        const char* choices[] = {"demoButton", "practice1Button", "practice2Button", "pace24Button",
                                 "pace20Button", "pace16Button", "pace12Button"};
        QToolButton& startStop = rig.child<QToolButton>("startStopButton");
        QToolButton& reset = rig.child<QToolButton>("resetButton");
        QRandomGenerator random(20261206);
        int runsEnded = 0;
        for (int step = 0; step < 1000; ++step) {
            const bool wasRunning = w.engine().isRunning();
            switch (random.bounded(4)) {
            case 0: rig.child<QRadioButton>(choices[random.bounded(7)]).click(); break;
            case 1: startStop.click(); break;
            case 2: reset.click(); break;
            default:
                for (int t = random.bounded(70); t > 0; --t)
                    rig.timer(false).tick() || rig.timer(true).tick();
                runsEnded += wasRunning && !w.engine().isRunning();
            }
            const bool running = w.engine().isRunning();
            QCOMPARE(startStop.text() == QStringLiteral(" Stop"), running);
            QCOMPARE(rig.child<QRadioButton>("demoButton").isEnabled(), !running);
            QVERIFY(!(running && reset.isEnabled()));
            QCOMPARE(rig.action("&Scoring").isEnabled(), !running);
            QCOMPARE(rig.timer(false).isActive() || rig.timer(true).isActive(), running);
        }
        QVERIFY(runsEnded > 0);
        QVERIFY(std::all_of(rig.played.begin(), rig.played.end(), [](int d) { return d >= 1 && d <= 9; }));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
