#include "FakeMixer.h"
#include "Recorders.h"
#include "TempSettings.h"
#include "Windows.h"
#include "scoring/frmScoring.h"
#include "test/frmOvrel.h"

#include <QDesktopServices>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <QToolButton>

// Hands every URL it is given to a function.
class UrlSink : public QObject {
    Q_OBJECT
public:
    explicit UrlSink(std::function<void(const QUrl&)> f) : f_(std::move(f)) {}
public slots:
    void open(const QUrl& url) { f_(url); }

private:
    std::function<void(const QUrl&)> f_;
};

// The main window: layout, menus, enabled states through a run, the exit path and the stored
// slider position. Timers are fakes; digits go to a recorder.
class tst_frmOvrel : public QObject {
    Q_OBJECT

    std::unique_ptr<TempSettings> settings;
    std::unique_ptr<FakeMixer> mixer;
    std::vector<int> played;

    std::unique_ptr<frmOvrel> makeWindow() { return loadedWindow(fakeTimers(), recordDigits(played)); }
    void storeVolume(const QVariant& value)
    {
        QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("OVREL"));
        store.setValue(QStringLiteral("Settings/Volume"), value);
    }
    QVariant storedVolume()
    {
        QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("OVREL"));
        return store.value(QStringLiteral("Settings/Volume"));
    }

private slots:
    void init()
    {
        settings = std::make_unique<TempSettings>();
        mixer.reset();
        mixer = std::make_unique<FakeMixer>();
        played.clear();
    }

    void controlsStandWhereTheLayoutPutsThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Frame2") << "Frame2" << QRect(7, 7, 106, 169) << "Introduction";
        QTest::newRow("optPreTest(0)") << "optPreTest0" << QRect(10, 25, 63, 21) << "Demo";
        QTest::newRow("optPreTest(1)") << "optPreTest1" << QRect(10, 76, 87, 21) << "Practice 1";
        QTest::newRow("optPreTest(2)") << "optPreTest2" << QRect(10, 128, 87, 21) << "Practice 2";
        QTest::newRow("Frame1") << "Frame1" << QRect(126, 7, 85, 169) << "Test Pace";
        QTest::newRow("optTrial(1)") << "optTrial1" << QRect(15, 25, 61, 21) << "2.4";
        QTest::newRow("optTrial(2)") << "optTrial2" << QRect(15, 59, 61, 21) << "2.0";
        QTest::newRow("optTrial(3)") << "optTrial3" << QRect(15, 94, 61, 21) << "1.6";
        QTest::newRow("optTrial(4)") << "optTrial4" << QRect(15, 128, 61, 21) << "1.2";
        QTest::newRow("Image1") << "Image1" << QRect(224, 7, 32, 32) << "";
        QTest::newRow("Slider1") << "Slider1" << QRect(224, 42, 92, 36) << "";
        QTest::newRow("cmdReset") << "cmdReset" << QRect(224, 84, 92, 36) << "Reset Trial";
        QTest::newRow("cmdStartStop") << "cmdStartStop" << QRect(224, 126, 92, 50) << "Start";
    }
    void controlsStandWhereTheLayoutPutsThem()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        auto w = makeWindow();
        const std::map<QString, QWidget*> controls{
            {"Frame2", w->Frame2},           {"Frame1", w->Frame1},
            {"optPreTest0", w->optPreTest[0]}, {"optPreTest1", w->optPreTest[1]},
            {"optPreTest2", w->optPreTest[2]}, {"optTrial1", w->optTrial[1]},
            {"optTrial2", w->optTrial[2]},   {"optTrial3", w->optTrial[3]},
            {"optTrial4", w->optTrial[4]},   {"Image1", w->Image1},
            {"Slider1", w->Slider1},         {"cmdReset", w->cmdReset},
            {"cmdStartStop", w->cmdStartStop}};
        QWidget* c = controls.at(name);
        QCOMPARE(c->geometry(), geometry);
        if (auto* box = qobject_cast<QGroupBox*>(c))
            QCOMPARE(box->title(), caption);
        else if (auto* button = qobject_cast<QAbstractButton*>(c))
            QCOMPARE(button->text(), caption);
        QCOMPARE(c->font().family(), QStringLiteral("Arial"));
        QCOMPARE(c->font().pointSizeF(), 9.75);
        QCOMPARE(c->font().bold(), name.startsWith("cmd"));
    }

    void windowHasItsFixedClientAreaAndFirstState()
    {
        auto w = makeWindow();
        QCOMPARE(w->windowTitle(), QStringLiteral("OVREL"));
        QCOMPARE(w->centralWidget()->size(), QSize(324, 184));
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(w->optPreTest[0]->isChecked());
        QVERIFY(!w->cmdReset->isEnabled());
        QCOMPARE(w->Slider1->minimum(), 0);
        QCOMPARE(w->Slider1->maximum(), 100);
        QCOMPARE(w->Slider1->value(), 25);  // nothing stored yet
        QCOMPARE(w->Image1->toolTip(), QStringLiteral("Volume Control"));
        QCOMPARE(w->Slider1->toolTip(), QStringLiteral("Slide to adjust volume"));
        QCOMPARE(w->cmdReset->toolTip(), QStringLiteral("Return to beginning of current trial"));
        QVERIFY(!w->Image1->pixmap().isNull());
        QVERIFY(!fake(w->tmrPractice()).Enabled() && !fake(w->tmrTest()).Enabled());
        QCOMPARE(w->tmrPractice().Interval(), 2400);
        QCOMPARE(w->tmrTest().Interval(), 2400);
    }

    void tabOrderFollowsTheLayout()
    {
        auto w = makeWindow();
        const QList<QWidget*> expected{w->optPreTest[0], w->optPreTest[1], w->optPreTest[2],
                                       w->optTrial[1],   w->optTrial[2],   w->optTrial[3],
                                       w->optTrial[4],   w->cmdReset,      w->Slider1,
                                       w->cmdStartStop};
        auto nextTabStop = [](QWidget* w) {
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus));
            return w;
        };
        for (int i = 1; i < expected.size(); ++i)
            QCOMPARE(nextTabStop(expected[i - 1]), expected[i]);
    }

    void menusHoldTheirItemsInOrder()
    {
        auto w = makeWindow();
        const QList<QAction*> bar = w->menuBar()->actions();
        QCOMPARE(bar.size(), 2);
        QCOMPARE(bar[0]->text(), QStringLiteral("&File"));
        QCOMPARE(bar[1]->text(), QStringLiteral("&Help"));
        auto texts = [](QMenu* m) {
            QStringList t;
            for (QAction* a : m->actions())
                t << (a->isSeparator() ? QStringLiteral("-") : a->text());
            return t;
        };
        QCOMPARE(texts(w->mnuFile), QStringList({"&Scoring", "-", "E&xit"}));
        QCOMPARE(texts(w->mnuHelp),
                 QStringList({"&OVREL Manual", "-", "&Download Record Form", "-", "A&bout"}));
        QCOMPARE(w->mnuOVRELmanual->shortcut(), QKeySequence(Qt::Key_F1));
    }

    void aRunDisablesTheChoicesAndEndsReady()
    {
        auto w = makeWindow();
        w->show();
        QTest::mouseClick(w->optTrial[3], Qt::LeftButton);
        QVERIFY(w->optTrial[3]->isChecked());
        QVERIFY(!w->optPreTest[0]->isChecked());
        QCOMPARE(w->tmrTest().Interval(), 1600);
        QCOMPARE(w->focusWidget(), w->cmdStartStop);

        QTest::keyClick(w->cmdStartStop, Qt::Key_Return);  // Enter starts, as Space would
        QTRY_VERIFY(w->engine().Running());
        QCOMPARE(w->cmdStartStop->text(), QStringLiteral(" Stop"));
        for (QWidget* c : {static_cast<QWidget*>(w->optPreTest[1]),
                           static_cast<QWidget*>(w->optTrial[3]),
                           static_cast<QWidget*>(w->cmdReset)})
            QVERIFY(!c->isEnabled());
        QVERIFY(!w->mnuFile->menuAction()->isEnabled() && !w->mnuHelp->menuAction()->isEnabled());
        QVERIFY(!w->mnuOVRELmanual->isEnabled());  // F1 is off during a run too
        QVERIFY(w->Slider1->isEnabled() && w->cmdStartStop->isEnabled());

        while (fake(w->tmrTest()).tick()) {
        }
        QCOMPARE(played.size(), std::size_t(61));
        QCOMPARE(w->cmdStartStop->text(), QStringLiteral(" Start"));
        QVERIFY(w->optTrial[3]->isChecked());  // the choice stays for the next run
        QVERIFY(w->mnuFile->menuAction()->isEnabled() && w->mnuOVRELmanual->isEnabled());
        QVERIFY(w->optPreTest[0]->isEnabled() && !w->cmdReset->isEnabled());
    }

    void anIntroductionChoiceClearsTheTrialChoice()
    {
        auto w = makeWindow();
        w->show();
        QTest::mouseClick(w->optTrial[1], Qt::LeftButton);
        QTest::mouseClick(w->optPreTest[2], Qt::LeftButton);
        QVERIFY(w->optPreTest[2]->isChecked());
        for (int i = 1; i <= 4; ++i)
            QVERIFY(!w->optTrial[i]->isChecked());
        QVERIFY(w->engine().PreTestMode());
        QCOMPARE(w->engine().PreTestSet(), 1);
    }

    void fileScoringOpensABlankModalWindowEachTime()
    {
        auto w = makeWindow();
        w->show();
        QStringList seen;
        for (int opening = 0; opening < 2; ++opening) {
            QTimer::singleShot(0, [&] {
                auto* scoring = qobject_cast<frmScoring*>(QApplication::activeModalWidget());
                QVERIFY(scoring);
                QCOMPARE(scoring->parentWidget(), w.get());
                seen << scoring->txt24->text();
                scoring->txt24->setText(QStringLiteral("40"));
                scoring->cmdClose->click();
            });
            w->mnuScoring->trigger();  // returns when the window has been closed
        }
        QCOMPARE(seen, QStringList({"", ""}));
    }

    void theButtonPictureFollowsTheRun()
    {
        auto w = makeWindow();
        auto asShown = [](const QIcon& icon) {
            return icon.pixmap(QSize(20, 22)).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        };
        auto shown = [&] { return asShown(w->cmdStartStop->icon()); };
        const QImage start = asShown(QIcon(QPixmap(":/GIF/102")));
        const QImage stop = asShown(QIcon(QPixmap(":/GIF/101")));
        QVERIFY(start != stop);
        QCOMPARE(shown(), start);  // the design picture
        w->cmdStartStop_Click();
        QCOMPARE(shown(), stop);
        w->cmdStartStop_Click();
        QCOMPARE(shown(), start);
        w->cmdStartStop_Click();
        while (fake(w->tmrPractice()).tick()) {
        }
        QCOMPARE(shown(), start);
        QCOMPARE(w->cmdStartStop->text(), QStringLiteral(" Start"));
    }

    void helpItemsOpenTheirWindowsAndTheManual()
    {
        auto w = makeWindow();
        w->show();
        QString seen;
        auto inspectModal = [&] {
            QTimer::singleShot(0, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                QVERIFY(modal);
                seen = modal->windowTitle();
                modal->close();
            });
        };
        inspectModal();
        w->mnuAbout->trigger();
        QCOMPARE(seen, QStringLiteral("About the OVREL..."));
        inspectModal();
        w->mnuDownloadRecordForm->trigger();
        QCOMPARE(seen, QStringLiteral("Download Record Form"));

        QStringList opened;
        UrlSink sink([&](const QUrl& url) { opened << url.toLocalFile(); });
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &sink, "open");
        const QString manual = QCoreApplication::applicationDirPath() + QStringLiteral("/OVREL Manual.pdf");
        QFile::remove(manual);
        w->mnuOVRELmanual->trigger();  // no manual: nothing happens
        QVERIFY(opened.isEmpty());
        QFile(manual).open(QIODevice::WriteOnly);
        w->mnuOVRELmanual->trigger();
        QFile::remove(manual);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(opened, QStringList{manual});
    }

    void fileExitStoresTheSliderAndEnds()
    {
        ExitRecorder exits;
        auto w = makeWindow();
        w->show();
        w->Slider1->setValue(60);
        w->mnuExit->trigger();
        QCOMPARE(exits.ends, 1);
        QCOMPARE(storedVolume().toString(), QStringLiteral("60"));
    }

    // Closing during a run takes the same path once; the run ends with the program.
    void theCloseBoxEndsARunningProgramOnce()
    {
        ExitRecorder exits;
        auto w = makeWindow();
        w->show();
        w->Slider1->setValue(0);
        w->cmdStartStop_Click();
        fake(w->tmrPractice()).tick();
        QVERIFY(w->close());
        QCOMPARE(exits.ends, 1);
        QCOMPARE(storedVolume().toString(), QStringLiteral("0"));
        QVERIFY(!fake(w->tmrPractice()).tick());  // no tick after the end
        QCOMPARE(played.size(), std::size_t(1));
        w->mnuExit_Click();
        QCOMPARE(exits.ends, 1);
    }

    void theSliderSetsTheMasterVolumeAndExitPutsItBack()
    {
        ExitRecorder exits;
        mixer->level = 40000;  // 61 % of 65535
        storeVolume("60");
        auto w = makeWindow();
        QCOMPARE(mixer->level, 39321u);
        w->Slider1->triggerAction(QAbstractSlider::SliderPageStepSub);  // Change
        QCOMPARE(mixer->level, 32768u);
        w->Slider1->setSliderDown(true);  // dragging: Scroll follows the thumb
        w->Slider1->setSliderPosition(10);
        QCOMPARE(mixer->level, 6554u);
        w->Slider1->setSliderDown(false);
        QCOMPARE(w->Slider1->value(), 10);
        w->mnuExit_Click();
        QCOMPARE(mixer->level, 39976u);
        QCOMPARE(storedVolume().toString(), QStringLiteral("10"));
        QCOMPARE(mixer->opened, mixer->closed);
    }

    void aStoredZeroStillApplies()
    {
        mixer->level = 30000;
        storeVolume("0");
        auto w = makeWindow();
        QCOMPARE(w->Slider1->value(), 0);
        QCOMPARE(mixer->level, 0u);
    }

    void withoutAMixerTheProgramRunsAndRemembersTheSlider()
    {
        ExitRecorder exits;
        MessageRecorder messages;
        mixer->failOpen = true;
        auto w = makeWindow();
        QCOMPARE(messages.messages.size(), std::size_t(2));  // the start-up reading, the slider
        QCOMPARE(messages.messages[0].text, QStringLiteral("No mixer found!"));
        QCOMPARE(w->Slider1->value(), 25);
        w->Slider1->setValue(70);
        QCOMPARE(messages.messages.size(), std::size_t(3));
        w->mnuExit_Click();
        QCOMPARE(messages.messages.size(), std::size_t(3));  // nothing to put back
        QCOMPARE(exits.ends, 1);
        QCOMPARE(storedVolume().toString(), QStringLiteral("70"));
    }
};

QTEST_MAIN(tst_frmOvrel)
#include "tst_frmovrel.moc"
