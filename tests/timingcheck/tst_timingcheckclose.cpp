#include "MainWindowRig.h"
#include "SinkRecorder.h"
#include "timingcheck/TimingCheckDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

// Help, Check Sound Timing left while its check runs, against the private sound server with the
// real output and recorder: by Esc, by Close and by the close box, early and late in the check.
// The program goes on, the check's streams are gone from the server at once, and the volume is
// the slider's.
class tst_TimingCheckClose : public QObject {
    Q_OBJECT


private slots:
    void initTestCase() { QVERIFY2(privateSoundServer(), "run through `make test`, which starts the sound server"); }

    void leavingARunningCheckStopsIt_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("afterMs");
        QTest::newRow("Esc as it starts") << "Esc" << 300;
        QTest::newRow("Close after 4 digits") << "Close" << 5000;
        QTest::newRow("close box after 10 digits") << "close box" << 12000;
    }
    void leavingARunningCheckStopsIt()
    {
        QFETCH(QString, how);
        QFETCH(int, afterMs);
        MainWindowRig rig;
        MainWindow& window = rig.build(true, true);
        window.show();
        rig.child<QSlider>("volumeSlider").setValue(60);
        const unsigned level = rig.mixer.level;
        // The rig's own: the "microphone"'s loopback records the sink.
        const int recordings = streamCount(QStringLiteral("source-outputs")), playing = streamCount(QStringLiteral("sink-inputs"));
        bool started = false, closed = false;
        int recordingWhileRunning = 0;
        QTimer::singleShot(0, &window, [&] {
            auto* dialog = qobject_cast<TimingCheckDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* start = dialog->findChild<QPushButton*>(QStringLiteral("startButton"));
            start->click();
            started = !start->isEnabled();
            QTimer::singleShot(afterMs, dialog, [&, dialog] {
                recordingWhileRunning = streamCount(QStringLiteral("source-outputs"));
                if (how == QLatin1String("Esc"))
                    QTest::keyClick(dialog, Qt::Key_Escape);
                else if (how == QLatin1String("Close"))
                    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
                else
                    dialog->close();
                closed = true;
            });
        });
        rig.child<QAction>("timingCheckAction").trigger();  // returns once the window is gone
        QVERIFY(started && closed);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(recordingWhileRunning, recordings + 1);
        QCOMPARE(streamCount(QStringLiteral("source-outputs")), recordings);
        QTRY_COMPARE_WITH_TIMEOUT(streamCount(QStringLiteral("sink-inputs")), playing, 3000);
        QCOMPARE(rig.mixer.level, level);
        QCOMPARE(rig.exits.ends, 0);
        QVERIFY(rig.messages.texts.isEmpty());
    }
};

QTEST_MAIN(tst_TimingCheckClose)
#include "tst_timingcheckclose.moc"
