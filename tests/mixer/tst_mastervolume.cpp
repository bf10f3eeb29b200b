#include "mixer/MasterVolume.h"
#include "mixer/VolumeSetting.h"
#include "FakeMasterMixer.h"
#include "MessageRecorder.h"

#include <QTest>

// The master volume's rules against a mixer in memory, and the stored slider position.
class tst_MasterVolume : public QObject {
    Q_OBJECT

private slots:
    // A percent becomes maximum × percent / 100, halves to even. The computer's level is noted
    // at start-up in whole percent and put back through it: 40000 of 65535 comes back as 39976.
    void levelsGoThroughWholePercent_data()
    {
        QTest::addColumn<uint>("maximum");
        QTest::addColumn<int>("percent");
        QTest::addColumn<uint>("raw");
        QTest::newRow("25% of 65535") << 65535u << 25 << 16384u;
        QTest::newRow("30%: 19660.5 down") << 65535u << 30 << 19660u;
        QTest::newRow("10%: 6553.5 up") << 65535u << 10 << 6554u;
        QTest::newRow("50%: 32767.5 up") << 65535u << 50 << 32768u;
        QTest::newRow("0%") << 65535u << 0 << 0u;
        QTest::newRow("100%") << 65535u << 100 << 65535u;
        QTest::newRow("beyond 32 bits in between") << 2147483647u << 99 << 2126008811u;
        QTest::newRow("61% from 40000") << 65535u << 61 << 39976u;
    }
    void levelsGoThroughWholePercent()
    {
        QFETCH(uint, maximum);
        QFETCH(int, percent);
        QFETCH(uint, raw);
        FakeMasterMixer mixer;
        mixer.max = maximum;
        mixer.level = raw == 39976u ? 40000u : raw;
        MessageRecorder shown;
        MasterVolume volume(mixer, shown);
        volume.recordStartupLevel();
        QCOMPARE(volume.startupPercent(), std::optional<int>(percent));
        volume.setPercent(percent == 0 ? 100 : 0);
        volume.restoreStartupLevel();
        QCOMPARE(mixer.level, raw);
        QCOMPARE(mixer.opened, 2);  // the first setting uses the reading's opening
        QCOMPARE(mixer.closed, 2);
    }

    // Only a mixer that cannot be opened is reported, each time; a level never read is never
    // "put back", and a mixer without a master volume is never written.
    void aFailingMixerIsReportedAndNeverMutes_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<int>("messages");
        QTest::addColumn<uint>("finalLevel");
        QTest::newRow("no mixer") << "open" << 2 << 20000u;
        QTest::newRow("no master volume") << "volume" << 0 << 20000u;
        QTest::newRow("read fails") << "read" << 0 << 52428u;
        QTest::newRow("write fails") << "write" << 0 << 20000u;
        QTest::newRow("lost after start-up's setting") << "lost" << 1 << 52428u;
    }
    void aFailingMixerIsReportedAndNeverMutes()
    {
        QFETCH(QString, failure);
        QFETCH(int, messages);
        QFETCH(uint, finalLevel);
        MessageRecorder shown;
        FakeMasterMixer mixer;
        mixer.level = 20000;
        mixer.failOpen = failure == "open";
        mixer.hasVolume = failure != "volume";
        mixer.failRead = failure == "read";
        mixer.failWrite = failure == "write";
        MasterVolume volume(mixer, shown);
        volume.recordStartupLevel();
        mixer.failOpen |= failure == "lost";
        volume.setPercent(80);
        volume.restoreStartupLevel();
        QCOMPARE(shown.texts, QStringList(messages, "No mixer found!"));
        QVERIFY(std::all_of(shown.icons.begin(), shown.icons.end(), [](MessageIcon i) { return i == MessageIcon::None; }));
        QCOMPARE(mixer.level, finalLevel);
        QCOMPARE(mixer.opened, mixer.closed);
    }

    void storedTextBecomesASliderPosition()
    {
        const std::pair<const char*, int> rows[] = {
            {"25", 25}, {"0", 0}, {"100", 100}, {" \t40 ", 40}, {"+7", 7}, {"007", 7}, {"-0", 0},
            {"12.49", 12}, {"12.51", 13}, {"12.5", 12}, {"13.5", 14}, {"-0.4", 0}, {"50.", 50},
            {".5", 0}, {"5e1", 50}, {"1e3", 25}, {"", 25}, {"   ", 25}, {"abc", 25}, {"40abc", 25},
            {"101", 25}, {"100.51", 25}, {"-1", 25}, {"2147483648", 25}, {"inf", 25}, {"nan", 25},
            {"0x20", 25}, {"5,5", 25}, {"4 0", 25}, {"\xff\xfe\x01", 25}};
        for (const auto& [text, position] : rows)
            QVERIFY2(volumeFromSetting(QString::fromUtf8(text)) == position, text);
        QCOMPARE(volumeFromSetting(QString(10000, QLatin1Char('9'))), 25);
    }
};

QTEST_GUILESS_MAIN(tst_MasterVolume)
#include "tst_mastervolume.moc"
