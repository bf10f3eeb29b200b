#include "FakePacingTimer.h"
#include "FakeSoundOutput.h"
#include "session/DeliveryNotice.h"
#include "session/TestSession.h"

#include <QSignalSpy>
#include <QTest>

using Kind = SoundFault::Kind;
using std::chrono::milliseconds;

Q_DECLARE_METATYPE(ItemSet)

class tst_DeliveryNotice : public QObject {
    Q_OBJECT

    // Three digits due a second apart; faults name them by due time.
    static SteadyTime due(int number) { return SteadyTime{} + milliseconds(1000 * number); }
    static std::vector<SteadyTime> dues(int count)
    {
        std::vector<SteadyTime> all;
        for (int n = 1; n <= count; ++n)
            all.push_back(due(n));
        return all;
    }

private slots:
    void noticeNamesEachDigitByItsWorstFault_data()
    {
        QTest::addColumn<ItemSet>("set");
        QTest::addColumn<std::vector<SoundFault>>("faults");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("summary");
        const QString trialEnd = QStringLiteral("\n\nThe trial may need to be given again.");
        QTest::newRow("nothing went wrong") << ItemSet::Trial << std::vector<SoundFault>{} << ""
            << QStringLiteral("9 of 9 digits on time");
        QTest::newRow("a fault of no digit of this run")
            << ItemSet::Trial << std::vector<SoundFault>{{due(20), Kind::Moved, 85}} << ""
            << QStringLiteral("9 of 9 digits on time");
        QTest::newRow("late, rounded")
            << ItemSet::Trial << std::vector<SoundFault>{{due(2), Kind::Moved, 84.6}}
            << "Digit 2 of this trial started 85 ms late." + trialEnd
            << QStringLiteral("8 of 9 digits on time: digit 2 was not");
        QTest::newRow("early, under a millisecond")
            << ItemSet::Demonstration << std::vector<SoundFault>{{due(1), Kind::Moved, -0.02}}
            << "Digit 1 of this demonstration started less than 1 ms early.\n\nThe demonstration may need to be given again."
            << QStringLiteral("8 of 9 digits on time: digit 1 was not");
        QTest::newRow("held up, and dropped")
            << ItemSet::Practice
            << std::vector<SoundFault>{{due(3), Kind::Held, -21.3}, {due(1), Kind::Held, 150}}
            << "Digit 1 of this practice was held up by 150 ms: it started late or was broken off.\n"
               "Digit 3 of this practice lost 21 ms of its sound: it started early or was cut short.\n\n"
               "The practice may need to be given again."
            << QStringLiteral("7 of 9 digits on time: digits 1 and 3 were not");
        QTest::newRow("placed after a slip was made good; a move outweighs it")
            << ItemSet::Trial
            << std::vector<SoundFault>{{due(4), Kind::Corrected, 21, 21.3}, {due(5), Kind::Corrected, 90, 90}, {due(5), Kind::Moved, 0.3}}
            << "Digit 4 of this trial came after a hold-up of 21 ms, made good from the sound server's report: it may be up to 22 ms off.\n"
               "Digit 5 of this trial started less than 1 ms late." + trialEnd
            << QStringLiteral("7 of 9 digits on time: digit 5 was not; digit 4 may be up to 22 ms off");
        QTest::newRow("slips made good only: the widest bound, two before one digit as one")
            << ItemSet::Trial
            << std::vector<SoundFault>{{due(2), Kind::Corrected, -7, 46.4}, {due(7), Kind::Corrected, 21.3, 21.3}, {due(7), Kind::Corrected, 228.7, 228.7}}
            << "Digit 2 of this trial came after a hold-up of 7 ms, made good from the sound server's report: it may be up to 47 ms off.\n"
               "Digit 7 of this trial came after a hold-up of 250 ms, made good from the sound server's report: it may be up to 250 ms off." + trialEnd
            << QStringLiteral("7 of 9 digits on time: digits 2 and 7 may be up to 250 ms off");
        QTest::newRow("the worst of one digit's faults")
            << ItemSet::Trial
            << std::vector<SoundFault>{{due(2), Kind::Moved, 5}, {due(2), Kind::Held, -40}, {due(2), Kind::Moved, 7}}
            << "Digit 2 of this trial lost 40 ms of its sound: it started early or was cut short." + trialEnd
            << QStringLiteral("8 of 9 digits on time: digit 2 was not");
        QTest::newRow("not played outweighs any move")
            << ItemSet::Trial
            << std::vector<SoundFault>{{due(3), Kind::Held, 900}, {due(3), Kind::NotPlayed, 0}, {due(1), Kind::Restarted, 0}}
            << "Digit 1 of this trial came after the sound output had stopped and started again: when it was heard is not known.\n"
               "Digit 3 of this trial was not heard: the sound output did not play it." + trialEnd
            << QStringLiteral("7 of 9 digits on time: digits 1 and 3 were not");
        QTest::newRow("a switch to another output outweighs a hold-up")
            << ItemSet::Trial << std::vector<SoundFault>{{due(6), Kind::Held, 900}, {due(6), Kind::Rerouted, 0}}
            << "Digit 6 of this trial came as the sound moved to another output (headphones plugged in or out, or a "
               "change in the sound settings): it may have started off time or been broken off." + trialEnd
            << QStringLiteral("8 of 9 digits on time: digit 6 was not");
        std::vector<SoundFault> many;
        for (int n = 1; n <= 9; ++n)
            many.push_back({due(n), Kind::Moved, 10.0 * n});
        QTest::newRow("six named, the rest counted")
            << ItemSet::Trial << many
            << "Digit 1 of this trial started 10 ms late.\nDigit 2 of this trial started 20 ms late.\n"
               "Digit 3 of this trial started 30 ms late.\nDigit 4 of this trial started 40 ms late.\n"
               "Digit 5 of this trial started 50 ms late.\nDigit 6 of this trial started 60 ms late.\n"
               "3 more digits of this trial did not go out on time either." + trialEnd
            << QStringLiteral("0 of 9 digits on time: digits 1, 2, 3, 4, 5, 6 and 3 more were not");
    }
    void noticeNamesEachDigitByItsWorstFault()
    {
        QFETCH(ItemSet, set);
        QFETCH(std::vector<SoundFault>, faults);
        QFETCH(QString, text);
        QFETCH(QString, summary);
        QCOMPARE(DeliveryNotice::notice(set, dues(9), faults), text);
        QCOMPARE(DeliveryNotice::summary(dues(9), faults), summary);
        // Known late where any digit is off; not known where the only faults are slips made good.
        const std::optional<bool> onTime = DeliveryNotice::onTime(dues(9), faults);
        QCOMPARE(onTime, summary.endsWith(QLatin1String("on time")) ? std::optional<bool>(true)
                         : summary.endsWith(QLatin1String("off")) && !summary.contains(QLatin1String("not")) ? std::nullopt
                                                                                                           : std::optional<bool>(false));
    }

    // Through the session: what the output noticed before a run is not the run's; what it
    // notices until the settle delay after the last digit is; pauses do not split a run; a run
    // started within the delay has the one before it checked and told first. A clean run says
    // nothing.
    void aRunIsCheckedOnceItsLastDigitHasSettled()
    {
        FakeSoundOutput output;
        TestSession session(output, [](QObject* parent) { return new FakePacingTimer(parent); });
        auto& introduction = static_cast<FakePacingTimer&>(session.introductionTimer());
        auto& settle = static_cast<FakePacingTimer&>(session.settleTimer());
        RunEngine& engine = session.engine();
        std::vector<SteadyTime> started;
        connect(&session, &TestSession::digitPlayed, this, [&](SteadyTime due, SteadyTime) { started.push_back(due); });
        QStringList told;
        connect(&session, &TestSession::runStarted, this, [&] { told << "started"; });
        connect(&session, &TestSession::delivered, this, [&] { told << "delivered"; });
        connect(&session, &TestSession::noticeReady, this, [&] { told << "notice"; });
        QSignalSpy notices(&session, &TestSession::noticeReady);
        QSignalSpy delivered(&session, &TestSession::delivered);

        output.faults = {{SteadyTime{}, Kind::Moved, 30}};  // from before
        engine.startOrPause();
        introduction.tick();
        introduction.tick();
        engine.startOrPause();  // paused after digit 2
        engine.startOrPause();
        introduction.tick();
        introduction.tick();  // the last: the run ends
        QCOMPARE(engine.state(), RunEngine::State::Finished);
        output.faults = {{started[2], Kind::Held, 60}};  // noticed after the end
        QVERIFY(notices.isEmpty());
        settle.tick();
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices[0][0].toString().startsWith("Digit 3 of this demonstration was held up by 60 ms"));
        QVERIFY(!settle.tick());  // once only
        QCOMPARE(delivered.size(), 1);
        QCOMPARE(delivered[0][0].value<std::optional<bool>>(), false);
        QCOMPARE(delivered[0][1].toString(), "3 of 4 digits on time: digit 3 was not");

        engine.choosePractice();
        engine.startOrPause();
        for (int i = 0; i < 11; ++i)
            introduction.tick();
        QCOMPARE(engine.state(), RunEngine::State::Finished);
        output.faults = {{started.back(), Kind::Moved, 12}};
        told.clear();
        engine.startOrPause();  // again, before the delay is over
        QCOMPARE(told.join(' '), "delivered notice started");
        QCOMPARE(notices[1][0].toString().section('\n', 0, 0), "Digit 11 of this practice started 12 ms late.");
        for (int i = 0; i < 11; ++i)
            introduction.tick();
        settle.tick();
        QCOMPARE(notices.size(), 2);  // the clean run
        QCOMPARE(delivered.size(), 3);
        QCOMPARE(delivered[2][0].value<std::optional<bool>>(), true);
        QCOMPARE(delivered[2][1].toString(), "11 of 11 digits on time");
    }
};

QTEST_GUILESS_MAIN(tst_DeliveryNotice)
#include "tst_deliverynotice.moc"
