#include "Recorders.h"
#include "SinkRecorder.h"
#include "TempSettings.h"
#include "test/frmOvrel.h"

#include <QRegularExpression>
#include <QSettings>
#include <QSlider>
#include <QTest>

// The slider against the private sound server's sink, through ALSA's "Master": the sink follows
// the slider and gets its own level back at the exit.
class tst_MasterVolume : public QObject {
    Q_OBJECT

    static int sinkPercent()
    {
        const auto out = pactl({"get-sink-volume", "@DEFAULT_SINK@"});
        const auto m = QRegularExpression(QStringLiteral("(\\d+)%")).match(out.value_or(QString()));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    static QString storedVolume()
    {
        QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("OVREL"));
        return store.value(QStringLiteral("Settings/Volume")).toString();
    }

private slots:
    void initTestCase() { QVERIFY2(privateSoundServer(), "run through `make test`"); }

    void sliderDrivesTheSinkAndExitRestoresIt_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("File, Exit") << false;
        QTest::newRow("close box") << true;
    }
    void sliderDrivesTheSinkAndExitRestoresIt()
    {
        QFETCH(bool, closeBox);
        TempSettings settings;
        {
            QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("OVREL"));
            store.setValue(QStringLiteral("Settings/Volume"), QStringLiteral("60"));
        }
        QVERIFY(pactl({"set-sink-volume", "@DEFAULT_SINK@", "40%"}));
        QCOMPARE(sinkPercent(), 40);
        MessageRecorder messages;
        ExitRecorder exits;
        frmOvrel w;
        w.Form_Load();
        w.show();
        QCOMPARE(sinkPercent(), 60);
        w.Slider1->setValue(35);
        QCOMPARE(sinkPercent(), 35);
        w.Slider1->setValue(60);
        QCOMPARE(sinkPercent(), 60);
        if (closeBox)
            w.close();
        else
            w.mnuExit->trigger();
        QCOMPARE(exits.ends, 1);
        QCOMPARE(sinkPercent(), 40);
        QCOMPARE(storedVolume(), QStringLiteral("60"));
        QVERIFY(messages.messages.empty());
    }
};

QTEST_MAIN(tst_MasterVolume)
#include "tst_mastervolume.moc"
