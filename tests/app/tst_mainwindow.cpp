#include "MainWindowRig.h"
#include "app/Startup.h"

#include <QDir>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTest>
#include "help/HelpDocuments.h"
#include <QToolButton>

// The main window's wiring: the stored volume at the start and at the end, and a long session of
// random clicks.
class tst_MainWindow : public QObject {
    Q_OBJECT

private slots:
    // A damaged or unwritable store never stops the program. File, Exit and the close box, also
    // during a run, store the position, put the computer's own level back (40000 of 65535 through
    // 61 %) and end the program once, with no tick after.
    void theVolumeComesFromTheStoreAndGoesBackAtTheEnd_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("nothing stored") << QByteArray() << 25 << false;
        QTest::newRow("60, close box during a run") << QByteArray("[Settings]\nVolume=60\n") << 60 << true;
        QTest::newRow("0, the slider's own value") << QByteArray("[Settings]\nVolume=0\n") << 0 << false;
        QTest::newRow("not text") << QByteArray("[Settings]\nVolume=\xff\xfe\x80\x01\n") << 25 << true;
        QTest::newRow("a line without a value") << QByteArray("[Settings]\nVolume\n") << 25 << false;
        QTest::newRow("the store is a folder") << QByteArray("folder") << 25 << false;
    }
    void theVolumeComesFromTheStoreAndGoesBackAtTheEnd()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, position);
        QFETCH(bool, closeBox);
        MainWindowRig rig;
        if (ini == "folder")
            QVERIFY(QDir().mkpath(rig.settings.file()));
        else
            rig.settings.write(ini);
        rig.mixer.level = 40000;
        MainWindow& w = rig.build();
        QCOMPARE(rig.child<QSlider>("volumeSlider").value(), position);
        QCOMPARE(rig.mixer.level, MasterVolume::rawFromPercent(65535, position));
        if (closeBox) {
            rig.child<QToolButton>("startStopButton").click();
            w.close();
        } else {
            rig.child<QAction>("exitAction").trigger();
        }
        QCOMPARE(rig.exits.ends, 1);
        QCOMPARE(rig.settings.volume(), ini == "folder" ? QString() : QString::number(position));
        QCOMPARE(rig.mixer.level, 39976u);
        QVERIFY(!rig.timer(false).tick() && !rig.timer(true).tick());
        QCOMPARE(rig.mixer.opened, rig.mixer.closed);
        QVERIFY(rig.messages.texts.isEmpty());
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
        rig.child<QAction>("exitAction").trigger();
        QCOMPARE(rig.settings.volume(), QStringLiteral("70"));
        QCOMPARE(rig.messages.texts.size(), 3);  // nothing to put back at the end
        QCOMPARE(rig.played(), std::vector<int>({1, 2, 3, 4}));
    }

    // A failure while the main window loads is reported once, and the program ends.
    void aFailureIsReportedOnceAndEndsTheProgram()
    {
        MessageRecorder messages;
        ProgramEndRecorder exits;
        QWidget* window = showMainWindow([&]() -> QWidget* {
            throw std::runtime_error("out of order");
        }, messages, exits);
        QVERIFY(!window);
        QCOMPARE(messages.texts, QStringList{"Error 51: out of order"});
        QCOMPARE(messages.icons.front(), MessageIcon::Critical);
        QCOMPARE(exits.ends, 1);
    }

    // However an item set is chosen, the focus is then on Start/Stop, and one key starts the run:
    // an option button chosen by an arrow key takes the focus back after its click, unless the
    // window waits for that.
    void aChoiceByKeyboardStartsAtOnce_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");  // 0: a mouse click on "to"
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("startKey");
        QTest::newRow("arrow down, Space") << "pace24Button" << int(Qt::Key_Down) << "pace20Button" << int(Qt::Key_Space);
        QTest::newRow("arrow up, Enter") << "pace12Button" << int(Qt::Key_Up) << "pace16Button" << int(Qt::Key_Return);
        QTest::newRow("arrow right, Space") << "demoButton" << int(Qt::Key_Right) << "practice1Button" << int(Qt::Key_Space);
        QTest::newRow("Space on the option") << "pace16Button" << int(Qt::Key_Space) << "pace16Button" << int(Qt::Key_Space);
        QTest::newRow("mouse, Space") << "demoButton" << 0 << "pace12Button" << int(Qt::Key_Space);
    }
    void aChoiceByKeyboardStartsAtOnce()
    {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, to);
        QFETCH(int, startKey);
        MainWindowRig rig;
        MainWindow& w = rig.build();
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto& start = rig.child<QRadioButton>(from.toLatin1().constData());
        start.click();  // the choice before, whose button the examiner now moves from
        QCoreApplication::processEvents();
        start.setFocus();
        auto& chosen = rig.child<QRadioButton>(to.toLatin1().constData());
        if (key)
            QTest::keyClick(&start, Qt::Key(key));
        else
            QTest::mouseClick(&chosen, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(chosen.isChecked());
        QCOMPARE(QApplication::focusWidget(), &rig.child<QToolButton>("startStopButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(startKey));
        QTRY_VERIFY(w.engine().isRunning());  // Enter presses the button as a click shows it
    }

    // Alt and a letter reach one item only: in the menu bar and in each menu, no two items share
    // their access key. F1 without a program for PDF documents says so, and where the manual is.
    void accessKeysAreUniqueAndTheManualSaysWhyItDidNotOpen()
    {
        MainWindowRig rig;
        MainWindow& w = rig.build();
        const auto keysOf = [](const QList<QAction*>& actions) {
            QString keys;
            for (const QAction* action : actions)
                if (const qsizetype at = action->text().indexOf(QLatin1Char('&')); at >= 0)
                    keys += action->text().at(at + 1).toLower();
            return keys;
        };
        QList<QList<QAction*>> menus{w.menuBar()->actions()};
        for (const QAction* top : w.menuBar()->actions())
            menus << top->menu()->actions();
        for (const QList<QAction*>& menu : menus)
            for (const QString keys = keysOf(menu); const QChar key : keys)
                QVERIFY2(keys.count(key) == 1, qPrintable(keys));
        QCOMPARE(keysOf(menus[1]), QStringLiteral("srx"));

        const QString manual = documentPath(QCoreApplication::applicationDirPath(), kManualFileName);
        const bool made = !QFileInfo::exists(manual) && QFile(manual).open(QIODevice::WriteOnly);
        const auto unmade = qScopeGuard([&] { if (made) QFile::remove(manual); });
        rig.documentReader = false;
        w.show();
        QApplication::setActiveWindow(&w);
        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(rig.documentsOpened, QStringList{manual});
        QCOMPARE(rig.messages.texts, QStringList{"No program to show PDF documents was found. The manual is at " + manual + "."});
    }

    // Random clicks and ticks: the window always shows the engine's state ("Reset Trial" only
    // while paused, the button's caption from the first run on), one choice at most is checked
    // across both groups, and the button always has its picture.
    void aThousandRandomStepsKeepWindowAndEngineTogether()
    {
        MainWindowRig rig;
        MainWindow& w = rig.build();
        const char* choices[] = {"demoButton", "practice1Button", "practice2Button", "pace24Button",
                                 "pace20Button", "pace16Button", "pace12Button"};
        QToolButton& startStop = rig.child<QToolButton>("startStopButton");
        QToolButton& reset = rig.child<QToolButton>("resetButton");
        bool begun = false;
        connect(&w.engine(), &RunEngine::started, this, [&] { begun = true; });
        QRandomGenerator random(20261206);
        for (int step = 0; step < 1000; ++step) {
            switch (random.bounded(4)) {
            case 0: rig.child<QRadioButton>(choices[random.bounded(7)]).click(); break;
            case 1: startStop.click(); break;
            case 2: reset.click(); break;
            default:
                for (int t = random.bounded(70); t > 0; --t)
                    rig.timer(false).tick() || rig.timer(true).tick();
            }
            const bool running = w.engine().isRunning();
            QVERIFY(std::count_if(std::begin(choices), std::end(choices),
                                  [&](const char* c) { return rig.child<QRadioButton>(c).isChecked(); }) <= 1);
            QCOMPARE(rig.child<QRadioButton>("pace12Button").isEnabled(), !running);
            QCOMPARE(startStop.text(), running ? QStringLiteral(" Stop") : begun ? QStringLiteral(" Start") : QStringLiteral("Start"));
            QVERIFY(!startStop.icon().isNull());
            QCOMPARE(reset.isEnabled(), w.engine().state() == RunEngine::State::Paused);
            QCOMPARE(rig.child<QAction>("scoringAction").isEnabled(), !running);
        }
        QCOMPARE(int(rig.played().size()) > 200, true);
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
