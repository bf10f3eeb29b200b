#include "FakeSoundBackends.h"
#include "FakeSoundProbe.h"
#include "sound/DefaultOutput.h"
#include "sound/DefaultRecorder.h"

#include <QTest>

Q_DECLARE_METATYPE(SoundWay::Alsa)

// The one decision of the way sound takes, and the output and recorder that follow it.
class tst_SoundRoute : public QObject {
    Q_OBJECT

    static const QString kService;

private slots:
    // What ALSA's default device leads to decides; the server is asked only where ALSA's pulse
    // plugin leaves it open which server that is.
    void decidesFromAlsaAndTheServer_data()
    {
        QTest::addColumn<QByteArray>("alsaType");
        QTest::addColumn<QString>("server");
        QTest::addColumn<SoundWay::Alsa>("alsa");
        QTest::addColumn<bool>("pipeWire");
        QTest::addColumn<int>("asked");
        QTest::addColumn<QString>("words");
        using A = SoundWay::Alsa;
        QTest::newRow("PipeWire's plugin") << QByteArray("pipewire") << QString() << A::PipeWirePlugin << true << 0
                                           << "PipeWire, through its ALSA plugin";
        QTest::newRow("PipeWire's service") << QByteArray("pulse") << kService << A::PipeWireService << true << 1
                                            << kService + ", through ALSA's pulse plugin";
        QTest::newRow("PulseAudio") << QByteArray("pulse") << "pulseaudio 16.1" << A::PulseAudio << false << 1
                                    << "pulseaudio 16.1, through ALSA's pulse plugin";
        QTest::newRow("no server answers") << QByteArray("pulse") << QString() << A::PulseUnknown << false << 1
                                           << "PulseAudio (or PipeWire's PulseAudio service), through ALSA's pulse plugin";
        QTest::newRow("a card") << QByteArray("hw") << kService << A::Other << false << 0 << "ALSA's default device";
        QTest::newRow("no configuration") << QByteArray() << QString() << A::Other << false << 0 << "ALSA's default device";
    }
    void decidesFromAlsaAndTheServer()
    {
        QFETCH(QByteArray, alsaType);
        QFETCH(QString, server);
        QFETCH(SoundWay::Alsa, alsa);
        QFETCH(int, asked);
        FakeSoundProbe probe;
        probe.alsaType = alsaType.toStdString();
        probe.server = server;
        SoundRoute route(probe);
        const SoundWay way = route.decide();
        QCOMPARE(way.alsa, alsa);
        QTEST(way.reachesPipeWire(), "pipeWire");
        QCOMPARE(probe.serverAsked, asked);
        QTEST(way.inWords(), "words");
        QCOMPARE(route.last(), way);
    }

    // PipeWire's own stream wherever PipeWire plays the sound and that stream can be had, ALSA's
    // device otherwise; the output says which it took.
    void theOutputTakesTheWayAndSaysWhich_data()
    {
        QTest::addColumn<QByteArray>("alsaType");
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<bool>("own");
        QTest::addColumn<QString>("words");
        QTest::newRow("PipeWire's plugin") << QByteArray("pipewire") << QString() << true << true
                                           << "PipeWire, through its own interface";
        QTest::newRow("PipeWire's plugin, own stream out of reach")
            << QByteArray("pipewire") << QString() << false << false << "PipeWire, through its ALSA plugin";
        QTest::newRow("PipeWire's service") << QByteArray("pulse") << kService << true << true
                                            << "PipeWire, through its own interface";
        QTest::newRow("PulseAudio, PipeWire beside it")
            << QByteArray("pulse") << "pulseaudio 16.1" << true << false << "pulseaudio 16.1, through ALSA's pulse plugin";
    }
    void theOutputTakesTheWayAndSaysWhich()
    {
        QFETCH(QByteArray, alsaType);
        QFETCH(QString, server);
        QFETCH(bool, reachable);
        QFETCH(bool, own);
        FakeSoundProbe probe;
        probe.alsaType = alsaType.toStdString();
        probe.server = server;
        FakeSoundBackends backends;
        backends.pipeWireReachable = reachable;
        SoundRoute route(probe);
        DefaultOutput output(route, backends);
        QVERIFY(!output.wayTaken());
        QVERIFY(output.open());
        QCOMPARE(output.wayTaken()->ownPipeWireStream, own);
        QTEST(output.wayTaken()->inWords(), "words");
        QCOMPARE(output.chosen(), static_cast<const PlacedOutput*>(own ? backends.pipeWire : backends.alsa));
        // PipeWire's own stream is never tried where PipeWire does not play the sound.
        QCOMPARE(backends.pipeWire != nullptr, route.last()->reachesPipeWire());
    }

    // The server is asked once per stream, not while it plays; a server changed between streams
    // is followed; the recorder follows the output's decision, and takes the microphone through
    // PipeWire's own interface only where PipeWire plays the sound.
    void oneDecisionPerStream()
    {
        FakeSoundProbe probe;
        probe.alsaType = "pulse";
        probe.server = QStringLiteral("pulseaudio 16.1");
        FakeSoundBackends backends;
        SoundRoute route(probe);
        DefaultOutput output(route, backends);
        DefaultRecorder recorder(route, backends);
        QVERIFY(output.open());
        QVERIFY(output.open());
        QVERIFY(recorder.start(SoundRecorder::Source::Microphone));
        QCOMPARE(probe.serverAsked, 1);
        QCOMPARE(backends.pipeWireInputs, 0);
        QCOMPARE(backends.alsaInputs, 1);

        output.close();
        probe.server = kService;
        QVERIFY(output.open());
        QCOMPARE(probe.serverAsked, 2);
        QVERIFY(output.wayTaken()->ownPipeWireStream);
        QVERIFY(recorder.start(SoundRecorder::Source::Microphone));
        QCOMPARE(backends.pipeWireInputs, 1);
        QCOMPARE(probe.serverAsked, 2);
    }
};

const QString tst_SoundRoute::kService = QStringLiteral("PulseAudio (on PipeWire 0.3.65)");

QTEST_GUILESS_MAIN(tst_SoundRoute)
#include "tst_soundroute.moc"
