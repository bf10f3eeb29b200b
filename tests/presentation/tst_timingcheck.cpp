#include "SinkRecorder.h"
#include "TempSettings.h"
#include "presentation/TimingCheck.h"
#include "presentation/TimingCheckDialog.h"
#include "soundcheck/DigitLocator.h"

#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

// The timing check in speaker mode against the private sound server, beside an outside recording
// of the same sink: both must find every digit, and agree on every interval within a sample.
// Its report carries the figures as lines a program can read.
class tst_TimingCheck : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(privateSoundServer(), "run through `make test`, which starts the sound server"); }

    void speakerModeAgreesWithAnOutsideRecording()
    {
        QVERIFY(pactl({"set-sink-volume", "@DEFAULT_SINK@", "100%"}));
        TimingCheckDialog dialog;
        dialog.show();
        SinkRecorder outside;
        QVERIFY(outside.start());
        auto* start = dialog.findChild<QPushButton*>(QStringLiteral("startButton"));
        QVERIFY(start->isDefault());
        start->click();
        QVERIFY(!start->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(dialog.result().has_value(), 40000);
        QTest::qWait(1000);  // the outside recorder's own latency
        const auto heard = DigitLocator().locate(outside.stop());
        const TimingCheckResult& result = *dialog.result();
        QVERIFY2(result.judged && result.found == 21, qPrintable(result.verdict));
        QVERIFY2(result.verdict.startsWith(QLatin1String("All 21 digits on time")), qPrintable(result.verdict));
        QCOMPARE(int(heard.size()), 21);
        const double sampleMs = 1000.0 / 44100;
        for (int i = 1; i < 21; ++i) {
            const double outsideMs = double(heard[i].sample - heard[i - 1].sample) * sampleMs - TimingCheck::kPaceMs;
            const double selfMs = result.errorsMs[i] - result.errorsMs[i - 1];
            QVERIFY2(std::fabs(outsideMs - selfMs) <= sampleMs * 1.01,
                     qPrintable(QStringLiteral("interval %1: %2 ms outside, %3 ms in the check").arg(i).arg(outsideMs).arg(selfMs)));
        }

        QTemporaryDir folder;
        const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
        QVERIFY(dialog.saveReport(pdf));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(10000));
        const QString report = QString::fromUtf8(text.readAllStandardOutput());
        for (const QString& line : result.figures())
            QVERIFY2(report.contains(line), qPrintable(report));
        QVERIFY(report.contains(QLatin1String("Digits found: 21 of 21")));
        QVERIFY(report.contains(QLatin1String("What the computer sends to the speakers")));
    }
};

QTEST_MAIN(tst_TimingCheck)
#include "tst_timingcheck.moc"
