#include "SinkRecorder.h"
#include "sound/DefaultOutput.h"
#include "sound/DigitPlayer.h"

#include <QCoreApplication>
#include <QTest>
#include <chrono>

// Where ALSA's default device reaches PipeWire through its PulseAudio service, the output plays
// through PipeWire's own interface, and through ALSA's default device where PipeWire cannot be
// reached directly (a sandbox that passes on the PulseAudio socket alone): the digits are heard
// either way. Run on that route of the PipeWire rig.
class tst_DefaultOutput : public QObject {
    Q_OBJECT

    // Whether this process's stream on the server came through the PulseAudio protocol.
    static bool playsThroughPulseService()
    {
        const QStringList streams = streamListingsOf(QCoreApplication::applicationPid());
        return !streams.isEmpty() && streams.first().contains(QLatin1String("client.api = \"pipewire-pulse\""));
    }

private slots:
    void initTestCase()
    {
        if (soundServerName() != QLatin1String("pipewire-pulse"))
            QSKIP("for PipeWire reached through ALSA's pulse plugin");
        QVERIFY(pactl({"set-sink-volume", "@DEFAULT_SINK@", "100%"}));
    }

    void choosesTheWayThatReachesTheServer_data()
    {
        QTest::addColumn<QByteArray>("remote");
        QTest::addColumn<bool>("throughPulseService");
        QTest::newRow("PipeWire reachable") << QByteArray() << false;
        QTest::newRow("PipeWire out of reach") << QByteArrayLiteral("ovrel-nowhere") << true;
    }

    void choosesTheWayThatReachesTheServer()
    {
        QFETCH(QByteArray, remote);
        QFETCH(bool, throughPulseService);
        qputenv("PIPEWIRE_REMOTE", remote);
        DefaultOutput& output = DefaultOutput::instance();
        SinkRecorder recorder;
        QVERIFY(recorder.start());
        QVERIFY(output.open());
        QCOMPARE(playsThroughPulseService(), throughPulseService);
        QCOMPARE(output.wayTaken()->ownPipeWireStream, !throughPulseService);
        {
            DigitPlayer player(output);
            // As the pacing timer gives them: each digit at its tick, due then.
            for (int digit = 1; digit <= 4; ++digit) {
                QTest::qWait(1200);
                QVERIFY(player.play(digit, std::chrono::steady_clock::now()));
            }
            QTest::qWait(1500);
        }
        output.close();
        QTest::qWait(1500);  // the recorder's own latency
        const std::vector<int> heard = digitsHeard(recorder.stop());
        QVERIFY2(heard == std::vector<int>({1, 2, 3, 4}), qPrintable(QStringLiteral("heard %1 digits; first: %2").arg(heard.size()).arg(heard.empty() ? -1 : heard[0])));
    }
};

QTEST_MAIN(tst_DefaultOutput)
#include "tst_defaultoutput.moc"
