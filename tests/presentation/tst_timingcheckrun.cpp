#include "platform/FakePacingTimer.h"
#include "platform/FakeSoundOutput.h"
#include "platform/FakeSoundRecorder.h"
#include "presentation/TimingCheck.h"

#include <QSignalSpy>
#include <QTest>

// The check's run with the timers driven by hand: the recording spans every digit, the output is
// held only while the check runs, and a check cut short lets both go.
class tst_TimingCheckRun : public QObject {
    Q_OBJECT

private slots:
    void aCheckPlaysTheSequenceWhileRecording()
    {
        FakeSoundOutput output;
        FakeSoundRecorder recorder;
        FakePacingTimer pace, tail;
        TimingCheck check(output, recorder, pace, tail);
        QSignalSpy finished(&check, &TimingCheck::finished);
        QSignalSpy running(&check, &TimingCheck::runningChanged);

        recorder.available = false;
        QVERIFY(!check.start(SoundRecorder::Source::Microphone));
        QVERIFY(!output.isOpen && running.isEmpty());

        recorder.available = true;
        QVERIFY(check.start(SoundRecorder::Source::Microphone));
        QCOMPARE(recorder.source, SoundRecorder::Source::Microphone);
        QVERIFY(output.isOpen && recorder.running);
        QVERIFY(!check.start(SoundRecorder::Source::Speakers));  // one at a time
        while (pace.tick()) {
        }
        QCOMPARE(int(output.started.size()), 21);
        QCOMPARE(pace.interval(), 1200);
        QVERIFY(output.dues.back() - output.dues.front() == std::chrono::milliseconds(20 * 1200));
        QVERIFY(recorder.running && finished.isEmpty());  // the last digit is still on its way
        QVERIFY(tail.tick());
        QVERIFY(!recorder.running && !output.isOpen && !check.isRunning());
        QCOMPARE(finished.size(), 1);
        // The stand-in recorded silence: too quiet to judge.
        QVERIFY(!finished[0][0].value<TimingCheckResult>().judged);
        QCOMPARE(running.size(), 2);
    }

    void aCheckCutShortLetsTheOutputGo()
    {
        FakeSoundOutput output;
        FakeSoundRecorder recorder;
        FakePacingTimer pace, tail;
        {
            TimingCheck check(output, recorder, pace, tail);
            QVERIFY(check.start(SoundRecorder::Source::Speakers));
            pace.tick();
        }
        QVERIFY(!output.isOpen && !recorder.running);
    }
};

Q_DECLARE_METATYPE(TimingCheckResult)
QTEST_MAIN(tst_TimingCheckRun)
#include "tst_timingcheckrun.moc"
