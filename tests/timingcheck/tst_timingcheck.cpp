#include "FakePacingTimer.h"
#include "FakeSoundOutput.h"
#include "FakeSoundRecorder.h"
#include "resources/ResourceBytes.h"
#include "timingcheck/DigitLocator.h"
#include "timingcheck/TimingCheck.h"
#include "SequenceRecording.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>

// The check's run with the timers driven by hand: the recording spans every digit, the output is
// held only while the check runs, a check cut short lets both go, and what it shows as it goes
// follows what the recorder has heard; and the locator, which the check judges by, tells a digit
// heard whole from a garbled one.
class tst_TimingCheck : public QObject {
    Q_OBJECT

    struct Fakes {
        FakeSoundOutput output;
        FakeSoundRecorder recorder;
        FakePacingTimer pace, tail, meter;
    };
    struct Rig : Fakes {
        TimingCheck check{output, recorder, pace, tail, meter};
    };

private slots:
    // What the end-to-end checks rely on: a digit with a gap in it, or two laid over each other,
    // is never taken for one heard whole.
    void theLocatorTellsAWholeDigitFromAGarbledOne()
    {
        const QByteArray four = resourceBytes(QStringLiteral("WAVE"), 4).mid(44);
        const QByteArray three = resourceBytes(QStringLiteral("WAVE"), 3).mid(44);
        const QByteArray silence(44100 * 4, 0);
        QByteArray overlaid = four;
        auto* samples = reinterpret_cast<qint16*>(overlaid.data()) + 2 * 13230;  // 0.3 s in
        for (qsizetype i = 0; i < std::min(three.size(), overlaid.size() - 4 * 13230) / 2; ++i)
            samples[i] = qint16(std::clamp(samples[i] + reinterpret_cast<const qint16*>(three.constData())[i], -32768, 32767));
        const auto heard = [&](const QByteArray& sound) { return DigitLocator().locate(silence + sound + silence); };
        QVERIFY(heard(four).size() == 1 && heard(four)[0].digit == 4 && heard(four)[0].whole());
        QVERIFY(!heard(four.left(16000) + four.mid(16000 + 470 * 4))[0].whole());  // a server period lost
        QVERIFY(!heard(overlaid)[0].whole());
    }

    void aCheckPlaysTheSequenceWhileRecording()
    {
        Rig rig;
        QSignalSpy finished(&rig.check, &TimingCheck::finished);
        QSignalSpy running(&rig.check, &TimingCheck::runningChanged);

        rig.recorder.available = false;
        QVERIFY(!rig.check.start(SoundRecorder::Source::Microphone));
        QVERIFY(!rig.output.isOpen && running.isEmpty());

        rig.recorder.available = true;
        rig.recorder.recording.sound = QByteArray(44100 * 4 * 30, '\1');  // hiss, never silence
        rig.recorder.heardFrames = 44100 * 30;
        QVERIFY(rig.check.start(SoundRecorder::Source::Microphone));
        QCOMPARE(rig.recorder.source, SoundRecorder::Source::Microphone);
        QVERIFY(rig.output.isOpen && rig.recorder.running);
        QVERIFY(!rig.check.start(SoundRecorder::Source::Speakers));  // one at a time
        while (rig.pace.tick()) {
        }
        QCOMPARE(int(rig.output.started.size()), 21);
        QCOMPARE(rig.pace.interval(), 1200);
        QVERIFY(rig.output.dues.back() - rig.output.dues.front() == std::chrono::milliseconds(20 * 1200));
        QVERIFY(rig.recorder.running && finished.isEmpty());  // the last digit is still on its way
        QVERIFY(rig.tail.tick());
        QVERIFY(!rig.recorder.running && !rig.output.isOpen && !rig.check.isRunning());
        QVERIFY(!rig.meter.isActive() && !rig.pace.isActive() && !rig.tail.isActive());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].value<TimingCheckResult>().condition, TimingCheckResult::Condition::TooNoisy);  // hiss, no digit
        QCOMPARE(running.size(), 2);
    }

    // Cancelled (the window closed) at any moment, a check stops its timers, its recording and its
    // output, and says it has stopped; destroyed while running, it lets them go all the same.
    void aCheckCutShortLetsEverythingGo_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("before the first digit") << 0 << false;
        QTest::newRow("after five digits") << 5 << false;
        QTest::newRow("in the tail") << 21 << false;
        QTest::newRow("destroyed after two digits") << 2 << true;
    }
    void aCheckCutShortLetsEverythingGo()
    {
        QFETCH(int, ticks);
        QFETCH(bool, destroyed);
        Fakes rig;
        rig.recorder.recording.sound = sequenceRecording(TimingCheck::sequence(), TimingCheck::kPaceMs);
        rig.recorder.heardFrames = rig.recorder.recording.sound.size() / 4;
        auto check = std::make_unique<TimingCheck>(rig.output, rig.recorder, rig.pace, rig.tail, rig.meter);
        QSignalSpy running(check.get(), &TimingCheck::runningChanged);
        QSignalSpy finished(check.get(), &TimingCheck::finished);
        QVERIFY(check->start(SoundRecorder::Source::Speakers));
        for (int t = 0; t < ticks; ++t)
            QVERIFY(rig.pace.tick());
        QCOMPARE(int(rig.output.started.size()), ticks);
        if (destroyed) {
            check.reset();
            QVERIFY(!rig.output.isOpen && !rig.recorder.running);
            return;
        }
        check->cancel();
        QVERIFY(!rig.output.isOpen && !rig.recorder.running && !check->isRunning());
        QVERIFY(!rig.pace.tick() && !rig.tail.tick() && !rig.meter.tick());
        QCOMPARE(running.size(), 2);
        QCOMPARE(running.last().first().toBool(), false);
        QVERIFY(finished.isEmpty());
        check->cancel();  // twice is once
        QCOMPARE(running.size(), 2);
        QVERIFY(check->start(SoundRecorder::Source::Speakers));  // and it can start again
    }

    // The digits played and the seconds left at each tick; the level of what was heard since the
    // meter's last look; the plot's digits as the recording holds them whole, on the grid.
    void progressFollowsWhatWasHeard()
    {
        Rig rig;
        QSignalSpy progress(&rig.check, &TimingCheck::progressed);
        QSignalSpy levels(&rig.check, &TimingCheck::levelMeasured);
        QSignalSpy found(&rig.check, &TimingCheck::digitsFound);
        QByteArray sound = sequenceRecording(TimingCheck::sequence(), TimingCheck::kPaceMs);
        // From digit 8 on, 220 frames (4.989 ms) late: shown as such while the check runs.
        const qsizetype pace = 44100 * 12 / 10 * 4;
        sound.insert(8 * pace, QByteArray(220 * 4, '\0'));
        rig.recorder.recording.sound = sound;
        QVERIFY(rig.check.start(SoundRecorder::Source::Speakers));
        QCOMPARE(progress.last(), (QVariantList{0, 27}));
        for (int t = 1; t <= 21; ++t) {
            rig.recorder.heardFrames = qsizetype(t) * pace / 4 + 44100 / 2;  // a latency of half a second
            QVERIFY(rig.meter.tick());
            QVERIFY(rig.pace.tick());
            QCOMPARE(progress.last(), (QVariantList{t, ((21 - t) * 1200 + 2500) / 1000}));
        }
        QVERIFY(levels.size() >= 21);
        const double loudest = std::max_element(levels.begin(), levels.end(), [](const QVariantList& a, const QVariantList& b) {
                                   return a[0].toDouble() < b[0].toDouble();
                               })->at(0).toDouble();
        QVERIFY2(loudest > -12 && loudest < 0, qPrintable(QString::number(loudest)));
        QVERIFY(found.size() >= 10);  // filling in, not all at once at the end
        const auto errors = found.last()[0].value<std::vector<double>>();
        QCOMPARE(int(errors.size()), 21);
        int known = 0;
        for (int i = 0; i < 21; ++i) {
            if (std::isinf(errors[i]))
                continue;
            ++known;
            QVERIFY2(std::fabs(errors[i] - (i >= 7 ? 220 / 44.1 : 0.0)) < 0.001, qPrintable(QStringLiteral("digit %1: %2").arg(i + 1).arg(errors[i])));
        }
        QVERIFY2(known >= 19, qPrintable(QString::number(known)));  // the last ones come in the tail
    }

    // Silent through its first three digits (a muted microphone, the volume at its lowest), a check
    // stops, too quiet, with the level it measured and the digits it played.
    void aSilentRecordingStopsEarly_data()
    {
        QTest::addColumn<QByteArray>("sound");
        QTest::addColumn<float>("peak");
        QTest::newRow("nothing at all") << QByteArray(44100 * 4 * 10, '\0') << 0.f;
        QByteArray faint(44100 * 4 * 10, '\0');
        faint[44100 * 4] = faint[44100 * 4 + 2] = 3;  // one frame of 3: -81 dB
        QTest::newRow("a trace") << faint << 3.f;
        faint[44100 * 4] = faint[44100 * 4 + 2] = 4;  // the quietest a check stops at
        QTest::newRow("digits at -78 dB") << faint << 4.f;
    }
    void aSilentRecordingStopsEarly()
    {
        QFETCH(QByteArray, sound);
        Rig rig;
        QSignalSpy finished(&rig.check, &TimingCheck::finished);
        rig.recorder.recording.sound = sound;
        rig.recorder.heardFrames = sound.size() / 4;
        QVERIFY(rig.check.start(SoundRecorder::Source::Speakers));
        while (rig.pace.tick()) {
        }
        QCOMPARE(int(rig.output.started.size()), TimingCheck::kSilentDigits);
        QVERIFY(!rig.output.isOpen && !rig.recorder.running && !rig.tail.isActive());
        QCOMPARE(finished.size(), 1);
        const auto result = finished[0][0].value<TimingCheckResult>();
        QCOMPARE(result.condition, TimingCheckResult::Condition::TooQuiet);
        QCOMPARE(result.stoppedAfter, TimingCheck::kSilentDigits);
        QTEST(result.level.peak, "peak");
    }
};

Q_DECLARE_METATYPE(TimingCheckResult)
QTEST_MAIN(tst_TimingCheck)
#include "tst_timingcheck.moc"
