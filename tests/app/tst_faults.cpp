#include "FakeMixer.h"
#include "Recorders.h"
#include "TempSettings.h"
#include "Windows.h"
#include "test/DigitLists.h"
#include "test/frmOvrel.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QSlider>
#include <QTemporaryFile>
#include <QTest>
#include <QToolButton>

// What the world may throw at a session: a damaged or unwritable settings store, a second copy,
// no temporary directory, no volume control, and a long session of clicks.
class tst_Faults : public QObject {
    Q_OBJECT

    std::unique_ptr<TempSettings> settings;
    std::unique_ptr<FakeMixer> mixer;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<ExitRecorder> exits;
    std::vector<int> played;

    std::unique_ptr<frmOvrel> window() { return loadedWindow(fakeTimers(), recordDigits(played)); }
    void writeStore(const QByteArray& ini)
    {
        QFile f(settings->file());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ini);
    }
    QByteArray readStore()
    {
        QFile f(settings->file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        exits.reset();
        messages.reset();
        mixer.reset();
        settings = std::make_unique<TempSettings>();
        mixer = std::make_unique<FakeMixer>();
        messages = std::make_unique<MessageRecorder>();
        exits = std::make_unique<ExitRecorder>();
        played.clear();
    }

    void oddStoredValuesNeverStopTheProgram_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("slider");
        QTest::newRow("empty") << QByteArray("Volume=") << 25;
        QTest::newRow("blanks") << QByteArray("Volume=\"   \"") << 25;
        QTest::newRow("letters") << QByteArray("Volume=loud") << 25;
        QTest::newRow("1e3") << QByteArray("Volume=1e3") << 25;
        QTest::newRow("-0") << QByteArray("Volume=-0") << 0;
        QTest::newRow("99.5") << QByteArray("Volume=99.5") << 100;
        QTest::newRow("2147483648") << QByteArray("Volume=2147483648") << 25;
        QTest::newRow("10 KB of text") << "Volume=" + QByteArray(10240, 'x') << 25;
        QTest::newRow("10 KB of digits") << "Volume=" + QByteArray(10240, '7') << 25;
        QTest::newRow("not text") << QByteArray("Volume=\xff\xfe\x80\x01\x02", 12) << 25;
        QTest::newRow("no value line") << QByteArray("Volume") << 25;
    }
    void oddStoredValuesNeverStopTheProgram()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, slider);
        writeStore("[Settings]\n" + line + "\n");
        auto w = window();
        QCOMPARE(w->Slider1->value(), slider);
        QVERIFY(messages->messages.empty());
        w->mnuExit_Click();
        QCOMPARE(exits->ends, 1);
        QVERIFY(readStore().contains("Volume=" + QByteArray::number(slider)));
    }

    void anUnwritableStoreLosesOnlyThatValue_data()
    {
        QTest::addColumn<bool>("storeIsAFolder");
        QTest::newRow("store file is a folder") << true;
        QTest::newRow("store folder cannot exist") << false;
    }
    void anUnwritableStoreLosesOnlyThatValue()
    {
        QFETCH(bool, storeIsAFolder);
        QString folder = settings->path();
        if (storeIsAFolder) {
            QVERIFY(QDir().mkpath(settings->file()));
        } else {
            QFile blocker(settings->path() + QStringLiteral("/file"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            folder = blocker.fileName() + QStringLiteral("/below");  // under a plain file
            QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
        }
        auto w = window();
        QCOMPARE(w->Slider1->value(), 25);
        w->Slider1->setValue(80);
        w->mnuExit_Click();
        QCOMPARE(exits->ends, 1);
        QVERIFY(messages->messages.empty());
    }

    void savingKeepsEverythingElseInTheStore()
    {
        writeStore("[Elsewhere]\nkept=1\n\n[Settings]\nOther=also kept\nVolume=10\n");
        auto w = window();
        w->Slider1->setValue(40);
        w->mnuExit_Click();
        QSettings store(settings->file(), QSettings::IniFormat);
        QCOMPARE(store.value("Settings/Volume").toString(), QStringLiteral("40"));
        QCOMPARE(store.value("Settings/Other").toString(), QStringLiteral("also kept"));
        QCOMPARE(store.value("Elsewhere/kept").toString(), QStringLiteral("1"));
    }

    void theCopyThatExitsLastLeavesItsValue()
    {
        auto first = window();
        auto second = window();
        first->Slider1->setValue(30);
        second->Slider1->setValue(70);
        first->mnuExit_Click();
        second->mnuExit_Click();
        QCOMPARE(QSettings(settings->file(), QSettings::IniFormat).value("Settings/Volume").toString(),
                 QStringLiteral("70"));
        auto third = window();
        QCOMPARE(third->Slider1->value(), 70);
    }

    void withoutATemporaryDirectoryTheButtonShowsItsCaptionAlone()
    {
        QTemporaryFile plain;
        QVERIFY(plain.open());
        qputenv("TMPDIR", QFile::encodeName(plain.fileName() + QStringLiteral("/tmp")));
        auto w = window();
        w->cmdStartStop_Click();
        QCOMPARE(w->cmdStartStop->text(), QStringLiteral(" Stop"));
        QVERIFY(w->cmdStartStop->icon().isNull());
        w->cmdStartStop_Click();
        QCOMPARE(w->cmdStartStop->text(), QStringLiteral(" Start"));
        QVERIFY(w->cmdStartStop->icon().isNull());
        qunsetenv("TMPDIR");
        QVERIFY(messages->messages.empty());
    }

    void aMixerThatFailsPartWayDoesNotStopTheProgram_data()
    {
        QTest::addColumn<int>("failure");
        QTest::newRow("no volume control") << 0;
        QTest::newRow("reading fails") << 1;
        QTest::newRow("writing fails") << 2;
    }
    void aMixerThatFailsPartWayDoesNotStopTheProgram()
    {
        QFETCH(int, failure);
        mixer->level = 20000;
        mixer->hasControl = failure != 0;
        mixer->failRead = failure == 1;
        mixer->failWrite = failure == 2;
        auto w = window();
        w->Slider1->setValue(90);
        w->cmdStartStop_Click();
        fake(w->tmrPractice()).tick();
        w->mnuExit_Click();
        QCOMPARE(exits->ends, 1);
        QVERIFY(messages->messages.empty());  // only a failed open is reported
        // The slider's level stays where it could be set; a level never read is not "restored".
        QCOMPARE(mixer->level, failure == 1 ? 58982u : 20000u);
        QCOMPARE(mixer->opened, mixer->closed);
    }

    // A long session of random clicks and ticks: the engine's invariants hold after every step.
    void aThousandCyclesKeepTheEngineSound()
    {
        auto w = window();
        QRandomGenerator random(20261206);
        int runsEnded = 0;
        for (int step = 0; step < 1000; ++step) {
            switch (random.bounded(6)) {
            case 0:
                if (w->optPreTest[0]->isEnabled())
                    w->optPreTest[random.bounded(3)]->click();
                break;
            case 1:
                if (w->optTrial[1]->isEnabled())
                    w->optTrial[1 + random.bounded(4)]->click();
                break;
            case 2:
                w->cmdStartStop->click();
                break;
            case 3:
                if (w->cmdReset->isEnabled())
                    w->cmdReset->click();
                break;
            default:
                for (int t = random.bounded(70); t > 0; --t) {
                    const bool running = w->engine().Running();
                    fake(w->tmrPractice()).tick();
                    fake(w->tmrTest()).tick();
                    runsEnded += running && !w->engine().Running();
                }
            }
            const RunEngine& e = w->engine();
            const bool practice = fake(w->tmrPractice()).Enabled(), test = fake(w->tmrTest()).Enabled();
            QVERIFY(!(practice && test));
            QCOMPARE(practice || test, e.Running());
            QVERIFY(e.PreTestPosition() < (e.PreTestSet() == 0 ? 4 : 11));
            QVERIFY(e.TrialPosition() < 61);
            QCOMPARE(w->cmdStartStop->text() == QStringLiteral(" Stop"), e.Running());
            QCOMPARE(w->mnuFile->menuAction()->isEnabled(), !e.Running());
            QVERIFY(!(e.Running() && w->cmdReset->isEnabled()));
        }
        QVERIFY(runsEnded > 0);
        for (int d : played)
            QVERIFY(d >= 1 && d <= 9);
    }
};

QTEST_MAIN(tst_Faults)
#include "tst_faults.moc"
