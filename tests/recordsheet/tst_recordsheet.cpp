#include "FakePacingTimer.h"
#include "FakeSoundOutput.h"
#include "FakeSteadyClock.h"
#include "recordsheet/RecordSheet.h"
#include "recordsheet/SheetCounts.h"
#include "session/TestSession.h"

#include <QTest>

using namespace std::chrono_literals;

namespace {

constexpr auto kHeardAfter = 250ms;  // from a digit's tick to the speakers

// A session on fake timers whose digits go nowhere, the sheet following it, and a clock for
// the examiner's keys. Times are from the timers' origin: digit n (from 0) of a set is due
// (n + 1) intervals after it, and heard kHeardAfter later.
struct SheetRig {
    FakeSoundOutput output;
    FakeSteadyClock clock;
    TestSession session{output, [](QObject* parent) { return new FakePacingTimer(parent); }};
    RunEngine& engine = session.engine();
    FakePacingTimer& introduction = static_cast<FakePacingTimer&>(session.introductionTimer());
    FakePacingTimer& trial = static_cast<FakePacingTimer&>(session.trialTimer());
    RecordSheet sheet{clock};

    SheetRig()
    {
        output.heardAfter = kHeardAfter;
        output.available = false;  // the digits go nowhere
        sheet.follow(session);
    }
    FakePacingTimer& timer() { return engine.itemSet() == ItemSet::Trial ? trial : introduction; }
    // Plays digits while the run goes and the next is due by `time`.
    void tickUntil(SteadyTime time)
    {
        while (engine.isRunning() && timer().dueTime() + std::chrono::milliseconds(timer().interval()) <= time)
            timer().tick();
    }
    void key(SteadyTime time, SheetMark mark)
    {
        tickUntil(time);
        clock.at = time;
        sheet.markAwaited(mark);
    }
    SteadyTime heard(int digit) const
    {
        const int interval = engine.itemSet() == ItemSet::Trial ? trial.interval() : introduction.interval();
        return SteadyTime(std::chrono::milliseconds(interval * (digit + 1))) + kHeardAfter;
    }
    const SheetAdministration& given(int n = -1) const
    {
        return sheet.administrations()[std::size_t(n < 0 ? int(sheet.administrations().size()) - 1 : n)];
    }
};

}  // namespace

class tst_RecordSheet : public QObject {
    Q_OBJECT

private slots:
    // A key goes to the answer awaited when it is pressed: from its second digit heard (not
    // ticked) to the next, with the grace after that one; the last for one interval.
    void aKeyMarksTheAnswerAwaited_data()
    {
        QTest::addColumn<int>("digit");   // whose hearing the key is timed from
        QTest::addColumn<int>("offset");  // ms after it
        QTest::addColumn<int>("item");    // marked; -1: none
        QTest::newRow("ticked, not yet heard") << 1 << -1 << -1;
        QTest::newRow("the second digit heard") << 1 << 0 << 0;
        QTest::newRow("within the grace of the third") << 2 << 299 << 0;
        QTest::newRow("just past the grace") << 2 << 300 << 1;
        QTest::newRow("the last, just within its interval") << 3 << 2399 << 2;
        QTest::newRow("the last, one interval on") << 3 << 2400 << -1;
    }
    void aKeyMarksTheAnswerAwaited()
    {
        QFETCH(int, digit);
        QFETCH(int, offset);
        QFETCH(int, item);
        SheetRig rig;
        rig.engine.startOrPause();
        QVERIFY(!rig.sheet.awaited());  // no digit yet
        rig.key(rig.heard(digit) + std::chrono::milliseconds(offset), SheetMark::Correct);
        rig.tickUntil(rig.heard(10));
        std::vector<SheetMark> marks(3, SheetMark::None);
        if (item >= 0)
            marks[std::size_t(item)] = SheetMark::Correct;
        QCOMPARE(rig.given().marks, marks);
        QCOMPARE(rig.given().sums, std::vector<int>({3, 5, 7}));
    }

    // A pause keeps the answer awaited and flags the administration; a trial rewound and given
    // again from its first digit is a new one, the earlier kept, and the latest counts.
    void aPauseIsFlaggedAndATrialGivenAgainKeepsTheFirst()
    {
        SheetRig rig;
        rig.engine.chooseTrial(0);
        rig.engine.startOrPause();
        rig.key(rig.heard(2) + 500ms, SheetMark::Correct);  // item 2
        rig.engine.startOrPause();  // paused after digit 3
        rig.clock.at = rig.heard(2) + 60s;
        QCOMPARE(rig.sheet.awaited(), (RecordSheet::Answer{0, 1}));
        QVERIFY(rig.sheet.givingNow());  // its digits may go on: not to be cleared away
        rig.engine.startOrPause();
        QVERIFY(rig.given(0).paused);
        rig.engine.startOrPause();
        rig.engine.rewind();
        QVERIFY(!rig.sheet.awaited() && !rig.sheet.givingNow());
        QVERIFY(!rig.sheet.markAwaited(SheetMark::Wrong));

        rig.engine.startOrPause();
        rig.trial.tick();
        rig.trial.tick();
        rig.clock.at = rig.trial.dueTime() + kHeardAfter + 500ms;
        QVERIFY(rig.sheet.markAwaited(SheetMark::Wrong));
        QCOMPARE(rig.sheet.administrations().size(), std::size_t(2));
        QVERIFY(rig.sheet.superseded(0));
        QVERIFY(!rig.given(1).paused);
        QCOMPARE(rig.sheet.latestTrial(0), &rig.given(1));
        QCOMPARE(SheetCounts::of(rig.given(0).marks).correct, 1);
        QCOMPARE(rig.given(0).marks[1], SheetMark::Correct);
        QCOMPARE(rig.given(1).marks[0], SheetMark::Wrong);
    }
};

QTEST_GUILESS_MAIN(tst_RecordSheet)
#include "tst_recordsheet.moc"
