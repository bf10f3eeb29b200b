#include "FakeMixer.h"
#include "Recorders.h"
#include "audio/modVolumeControl.h"

#include <QTest>

using namespace modVolumeControl;

// The master volume through a mixer in memory: rounding, the start-up level, balanced opens and
// what happens without a usable mixer.
class tst_VolumeControl : public QObject {
    Q_OBJECT
private slots:
    void percentBecomesARawLevelHalvesToEven_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("raw");
        QTest::newRow("25 % (16383.75)") << 25 << 16384;
        QTest::newRow("30 % (19660.5)") << 30 << 19660;
        QTest::newRow("10 % (6553.5)") << 10 << 6554;
        QTest::newRow("50 % (32767.5)") << 50 << 32768;
        QTest::newRow("0 %") << 0 << 0;
        QTest::newRow("100 %") << 100 << 65535;
    }
    void percentBecomesARawLevelHalvesToEven()
    {
        QFETCH(int, percent);
        QFETCH(int, raw);
        FakeMixer mixer;
        mixer.level = 12345;
        SetMasterVolume(percent);
        QCOMPARE(int(mixer.level), raw);
        QCOMPARE(mixer.opened, 1);
        QCOMPARE(mixer.closed, 1);
    }

    void startupLevelIsNotedInWholePercent_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("restored");
        QTest::newRow("half") << 32768 << 50 << 32768;
        QTest::newRow("full") << 65535 << 100 << 65535;
        QTest::newRow("mute") << 0 << 0 << 0;
        QTest::newRow("between percents") << 40000 << 61 << 39976;
    }
    void startupLevelIsNotedInWholePercent()
    {
        QFETCH(int, raw);
        QFETCH(int, percent);
        QFETCH(int, restored);
        FakeMixer mixer;
        mixer.level = std::uint32_t(raw);
        RecordStartupVolume();
        QCOMPARE(StartupVolumePercent(), std::optional<std::int32_t>(percent));
        mixer.level = 1;
        RestoreStartupVolume();
        QCOMPARE(int(mixer.level), restored);
        QCOMPARE(mixer.opened, 2);
        QCOMPARE(mixer.closed, 2);
        QCOMPARE(mixer.log.filter("open").size(), mixer.log.filter("close").size());
    }

    void withoutAMixerNothingBreaksAndNothingIsMuted()
    {
        FakeMixer mixer;
        mixer.failOpen = true;
        mixer.level = 30000;
        MessageRecorder messages;
        RecordStartupVolume();  // start-up
        QCOMPARE(messages.messages.size(), std::size_t(1));
        QCOMPARE(messages.messages[0].text, QStringLiteral("No mixer found!"));
        QVERIFY(messages.messages[0].icon == MsgIcon::None);
        QCOMPARE(messages.messages[0].title, QStringLiteral("Corvane Computerized OVREL"));
        QVERIFY(!StartupVolumePercent());
        SetMasterVolume(40);  // a slider notification
        QCOMPARE(messages.messages.size(), std::size_t(2));
        RestoreStartupVolume();  // the exit leaves the level alone
        QCOMPARE(messages.messages.size(), std::size_t(2));
        QCOMPARE(mixer.level, 30000u);
    }

    void aFailedLookUpOrReadLeavesTheLevelAlone_data()
    {
        QTest::addColumn<bool>("noControl");
        QTest::newRow("no volume control") << true;
        QTest::newRow("read fails") << false;
    }
    void aFailedLookUpOrReadLeavesTheLevelAlone()
    {
        QFETCH(bool, noControl);
        FakeMixer mixer;
        mixer.hasControl = !noControl;
        mixer.failRead = !noControl;
        mixer.level = 30000;
        MessageRecorder messages;
        RecordStartupVolume();
        QVERIFY(!StartupVolumePercent());
        QVERIFY(messages.messages.empty());  // only a failed open is reported
        RestoreStartupVolume();
        QCOMPARE(mixer.level, 30000u);
        QCOMPARE(mixer.opened, mixer.closed);
    }

    void aMixerLostAfterStartUpIsReportedAtExit()
    {
        FakeMixer mixer;
        mixer.level = 32768;
        RecordStartupVolume();
        mixer.failOpen = true;
        MessageRecorder messages;
        RestoreStartupVolume();
        QCOMPARE(messages.messages.size(), std::size_t(1));
    }

    void theRecordsCarryTheirPublishedSizes()
    {
        FakeMixer mixer;
        mixer.max = 1000;
        OpenMixer();
        QCOMPARE(VolumeControl().cbStruct, 152u);
        QCOMPARE(VolumeControl().lMaximum, 1000);
        QCOMPARE(VolumeControl().dwControlType, MIXERCONTROL_CONTROLTYPE_VOLUME);
        HMIXER other = 0;
        QCOMPARE(mixerOpen(&other, 0, 0, 0, 0), MMSYSERR_NOERROR);  // closes the one before
        MIXERLINE line;
        line.cbStruct = 100;
        QCOMPARE(mixerGetLineInfoA(other, &line, 0), MMSYSERR_INVALPARAM);
        line.cbStruct = 168;
        QCOMPARE(mixerGetLineInfoA(other, &line, 0), MMSYSERR_NOERROR);
        QCOMPARE(mixerGetLineInfoA(other + 1, &line, 0), MMSYSERR_INVALHANDLE);
        QCOMPARE(mixerClose(other), MMSYSERR_NOERROR);
        QCOMPARE(mixer.opened, mixer.closed);
    }
};

QTEST_GUILESS_MAIN(tst_VolumeControl)
#include "tst_volumecontrol.moc"
