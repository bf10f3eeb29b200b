#include "Recorders.h"
#include "SinkRecorder.h"
#include "TempSettings.h"
#include "platform/AlsaMasterMixer.h"
#include "presentation/MainWindow.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QSlider>
#include <QTest>

// The slider against the private sound server's default sink, through ALSA's "Master": the sink
// follows the slider and gets its own level back when the program ends.
class tst_VolumeSink : public QObject {
    Q_OBJECT

    static int sinkPercent()
    {
        const auto out = pactl({"get-sink-volume", "@DEFAULT_SINK@"});
        const auto m = QRegularExpression(QStringLiteral("(\\d+)%")).match(out.value_or(QString()));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }

private slots:
    void initTestCase() { QVERIFY2(privateSoundServer(), "run through `make test`"); }

    void sliderDrivesTheSinkAndTheEndRestoresIt_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("File, Exit") << false;
        QTest::newRow("close box") << true;
    }
    void sliderDrivesTheSinkAndTheEndRestoresIt()
    {
        QFETCH(bool, closeBox);
        TempSettings settings;
        settings.write("[Settings]\nVolume=60\n");
        QVERIFY(pactl({"set-sink-volume", "@DEFAULT_SINK@", "40%"}));
        MessageRecorder messages;
        ExitRecorder exits;
        AlsaMasterMixer mixer;
        MainWindow w(mixer, {}, [](int, SteadyTime) {});
        w.show();
        QCOMPARE(sinkPercent(), 60);
        auto* slider = w.findChild<QSlider*>(QStringLiteral("volumeSlider"));
        for (int percent : {35, 60}) {
            slider->setValue(percent);
            QCOMPARE(sinkPercent(), percent);
        }
        if (closeBox)
            w.close();
        else
            for (QAction* item : w.findChildren<QMenu*>().first()->actions())
                if (item->text() == QStringLiteral("E&xit"))
                    item->trigger();
        QCOMPARE(exits.ends, 1);
        QCOMPARE(sinkPercent(), 40);
        QCOMPARE(settings.volume(), QStringLiteral("60"));
        QVERIFY(messages.texts.isEmpty());
    }
};

QTEST_MAIN(tst_VolumeSink)
#include "tst_volume_sink.moc"
