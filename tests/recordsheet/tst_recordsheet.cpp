#include "FakePacingTimer.h"
#include "FakeSoundOutput.h"
#include "FakeSteadyClock.h"
#include "recordsheet/RecordSheet.h"
#include "recordsheet/SheetCounts.h"
#include "recordsheet/SheetItemsFile.h"
#include "recordsheet/SheetResults.h"
#include "recordsheet/SheetMarking.h"
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

    // A pause keeps the answer awaited and is kept with where and how long it was; one before the
    // first digit is none, but its run may still go on. A trial rewound and given again from its
    // first digit is a new one, the earlier kept, and the latest counts; what the earlier never
    // presented is "not given", in no other count, and takes no mark. Each row, line and file
    // says which administration it is.
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
        QCOMPARE(rig.given(0).pauses.size(), std::size_t(1));
        QCOMPARE(SheetResults::remarks({&rig.given(0), false, 1, {}, {}}), QStringLiteral("paused after digit 3 for 1 min; under way: 3 of 61 digits given"));
        rig.engine.startOrPause();
        rig.engine.rewind();
        QVERIFY(!rig.sheet.awaited() && !rig.sheet.givingNow());
        QVERIFY(!rig.sheet.markAwaited(SheetMark::Wrong));

        rig.engine.startOrPause();
        rig.engine.startOrPause();  // paused before its first digit
        QVERIFY(rig.sheet.givingNow());
        rig.engine.startOrPause();
        rig.trial.tick();
        rig.trial.tick();
        rig.clock.at = rig.trial.dueTime() + kHeardAfter + 500ms;
        QVERIFY(rig.sheet.markAwaited(SheetMark::Wrong));
        QCOMPARE(rig.sheet.administrations().size(), std::size_t(2));
        QVERIFY(rig.sheet.superseded(0));
        QVERIFY(rig.given(1).pauses.empty());
        QCOMPARE(rig.sheet.latestTrial(0), &rig.given(1));
        const SheetCounts stopped = SheetCounts::of(rig.given(0));
        QCOMPARE((std::array{stopped.correct, stopped.wrong, stopped.noAnswer, stopped.notGiven}), (std::array{1, 0, 1, 58}));
        rig.sheet.setMark({0, 2}, SheetMark::Correct);  // never presented
        QCOMPARE(rig.given(0).marks[2], SheetMark::None);
        QCOMPARE(rig.given(0).marks[1], SheetMark::Correct);
        QCOMPARE(rig.given(1).marks[0], SheetMark::Wrong);

        const SheetResults results(rig.sheet, 0);
        QCOMPARE(SheetResults::remarks(results.rows()[1]), QStringLiteral("given again: 2nd administration; under way: 2 of 61 digits given"));
        QVERIFY(SheetResults::remarks(results.rows()[0]).endsWith(QLatin1String("; paused after digit 3 for 1 min; stopped after 3 of 61 digits")));
        QVERIFY(SheetResults::trialLine(rig.given(0)).contains(QLatin1String("no answer 1, not given 58, dyads 0")));
        const QStringList rows = results.table().split(QLatin1Char('\n'));
        QVERIFY(rows[1].startsWith(QLatin1String("Trial 2.4 s (1st administration)\t1\t\t\t0\t1\t58\t")));
        QVERIFY(rows[2].startsWith(QLatin1String("Trial 2.4 s (2nd administration)\t0\t")));

        // One row per item, after the fixed header.
        const QList<QByteArray> lines = SheetItemsFile::csv(rig.sheet).split('\n');
        QCOMPARE(lines.size(), 1 + 2 * 60 + 1);
        QCOMPARE(lines[0], QByteArray(SheetItemsFile::kHeader) + '\r');
        QCOMPARE(lines[2], QByteArray("2.4 s,1,2,7,5,12,correct,examiner,,,,\r"));
        QCOMPARE(lines[3], QByteArray("2.4 s,1,3,5,1,6,not given,,,,,\r"));
        QCOMPARE(lines[61], QByteArray("2.4 s,2,1,2,7,9,wrong,examiner,,,,\r"));
        QCOMPARE(lines[62], QByteArray("2.4 s,2,2,7,5,12,not given,,,,,\r"));
    }

    // The voice's marks stand where the examiner set none, and the examiner's keys always win,
    // also over a voice that is decided after them; taking the examiner's mark back gives the
    // voice's again. The counts are of the final marks; the latency line, the table and the items
    // file tell which marks came from where.
    void theVoicePreMarksAndTheExaminersKeysWin()
    {
        SheetRig rig;
        rig.engine.choosePractice();  // sums 4 7 6 7 8 …
        rig.engine.startOrPause();
        rig.tickUntil(rig.heard(4));
        QVERIFY(!rig.sheet.window({0, 3}));  // its next digit is still to come
        QCOMPARE(rig.sheet.window({0, 0})->from, rig.heard(1));
        QCOMPARE(rig.sheet.window({0, 1})->from, rig.heard(2) + RecordSheet::kGrace);
        QCOMPARE(rig.sheet.window({0, 1})->to, rig.heard(3) + RecordSheet::kGrace);
        rig.clock.at = rig.heard(3) + 500ms;
        rig.sheet.markAwaited(SheetMark::Wrong);  // item 2, before the voice is decided
        const auto voice = [](std::optional<int> heard, double latency, bool unsure = false) {
            SheetVoice v;
            v.heard = heard;
            v.latencyMs = heard ? std::optional<double>(latency) : std::nullopt;
            v.confidence = 0.9;
            v.unsure = unsure;
            v.somethingSaid = !heard;
            return v;
        };
        rig.sheet.setVoice({0, 0}, voice(4, 800));
        rig.sheet.setVoice({0, 1}, voice(6, 700, true));
        rig.sheet.setVoice({0, 2}, voice(6, 900));
        rig.sheet.setVoice({0, 3}, voice(std::nullopt, 0));
        rig.sheet.setVoice({0, 5}, voice(13, 500));  // not presented: nothing
        QCOMPARE(rig.given().marks, (std::vector<SheetMark>{SheetMark::Correct, SheetMark::Wrong, SheetMark::Wrong, SheetMark::None,
                                                            SheetMark::None, SheetMark::None, SheetMark::None, SheetMark::None,
                                                            SheetMark::None, SheetMark::None}));
        rig.sheet.setMark({0, 1}, SheetMark::Correct);  // the examiner looks again
        rig.sheet.setMark({0, 3}, SheetMark::Wrong);
        QVERIFY(rig.sheet.takeBack());
        QCOMPARE(rig.given().marks[3], SheetMark::None);  // the voice's none again
        QVERIFY(rig.sheet.hasUnsavedMarks());
        const SheetCounts counts = SheetCounts::of(rig.given());
        QCOMPARE((std::array{counts.correct, counts.wrong, counts.noAnswer}), (std::array{2, 1, 1}));
        // Latencies of the sums heard: 700, 800, 900 ms.
        QCOMPARE(SheetResults::latencyLine(rig.given()),
                 QStringLiteral("Practice 1 latency: median 800 ms, IQR 750-850 ms, answers 3, voice marks 2, changed 2"));

        const QList<QByteArray> lines = SheetItemsFile::csv(rig.sheet).split('\n');
        QCOMPARE(lines[1], QByteArray("Practice 1,1,1,1,3,4,correct,voice,800.0,4,0.90,\r"));
        QCOMPARE(lines[2], QByteArray("Practice 1,1,2,3,4,7,correct,examiner,700.0,6,0.90,unsure\r"));
        QCOMPARE(lines[3], QByteArray("Practice 1,1,3,4,2,6,wrong,examiner,900.0,6,0.90,\r"));
        QCOMPARE(lines[4], QByteArray("Practice 1,1,4,2,5,7,none,voice,,,0.90,something said\r"));
        QCOMPARE(lines[5], QByteArray("Practice 1,1,5,5,3,8,not given,,,,,\r"));

        // A trial's latency goes in columns after the remarks, only where one was listened to.
        rig.engine.startOrPause();
        rig.engine.chooseTrial(3);
        QCOMPARE(SheetResults(rig.sheet, 0).table().count(QLatin1String("Latency")), 0);
        rig.engine.startOrPause();
        rig.tickUntil(rig.heard(3));
        rig.sheet.setVoice({1, 0}, voice(9, 812));
        const QStringList rows = SheetResults(rig.sheet, 0).table().split(QLatin1Char('\n'));
        QVERIFY(rows[0].endsWith(QLatin1String("\tRemarks\tLatency median ms\tLatency Q1 ms\tLatency Q3 ms\tAnswers heard\tVoice marks\tChanged")));
        QVERIFY(rows[1].endsWith(QLatin1String("\t812\t812\t812\t1\t1\t0")));
    }

    // The practice's ten answers marked by keys and clicks, as the grid passes them on. "dN": the
    // run goes on until digit N (from 0) has been heard, and the key comes 0.5 s after it, past
    // the grace; "end": the run ends and its last answer is no longer awaited; "c" and "x" are
    // Space and X, "b" Backspace, "<", ">", "^" and "v" the arrow keys, "kN" a click on answer N.
    void theMarkingRuleFollowsTheAnswerAwaitedAndTheCursor_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<int>("cursor");
        QTest::newRow("each key to the answer awaited") << "d1 c d2 x d3 c" << "cxc-------" << 2;
        QTest::newRow("a correction mid-run, then on with the next") << "d1 c d2 c d3 < x d4 c" << "cx-c------" << 3;
        QTest::newRow("the keys stay at the cursor while one answer is awaited") << "d1 c d2 < x > c" << "xc--------" << 1;
        QTest::newRow("an answer not presented yet takes no mark") << "d1 c d2 > > c" << "c---------" << 3;
        QTest::newRow("a mark taken back") << "d1 c d2 x b" << "c---------" << 1;
        QTest::newRow("between runs the keys mark at the cursor") << "d2 c end > > > x" << "-c--x-----" << 4;
        QTest::newRow("a click turns a mark on: correct, wrong, none") << "end k4 k5 k5 k6 k6 k6" << "----cx----" << 6;
        QTest::newRow("the cursor stays on the sheet") << "end < ^ c v v >" << "c---------" << 1;
        QTest::newRow("nothing given: nothing marked") << "c x k3" << "----------" << 0;
    }
    void theMarkingRuleFollowsTheAnswerAwaitedAndTheCursor()
    {
        QFETCH(QString, script);
        SheetRig rig;
        SheetMarking marking(rig.sheet);
        const auto follow = [&] {
            if (rig.sheet.shown() != marking.viewed())
                marking.view(rig.sheet.shown());
        };
        rig.engine.choosePractice();
        const bool given = !script.startsWith(QLatin1Char('c'));
        if (given)
            rig.engine.startOrPause();
        follow();
        for (const QString& step : script.split(' ')) {
            if (step.startsWith('d')) {
                rig.tickUntil(rig.heard(step.mid(1).toInt()));
                rig.clock.at = rig.heard(step.mid(1).toInt()) + 500ms;
            } else if (step == "end") {
                rig.tickUntil(rig.heard(11));
                rig.clock.at = rig.heard(11);
            } else if (step.startsWith('k')) {
                marking.click(step.mid(1).toInt());
            } else if (step == "b") {
                rig.sheet.takeBack();
            } else if (step == "c" || step == "x") {
                marking.mark(step == "c" ? SheetMark::Correct : SheetMark::Wrong);
            } else {
                marking.moveCursor(step == "<" ? -1 : step == ">" ? 1 : step == "^" ? -10 : 10);
            }
            follow();
        }
        QString marks;
        for (SheetMark mark : marking.shown().marks)
            marks += QLatin1Char(mark == SheetMark::Correct ? 'c' : mark == SheetMark::Wrong ? 'x' : '-');
        QTEST(marks, "marks");
        QTEST(marking.cursor(), "cursor");
        QCOMPARE(rig.sheet.administrations().size(), std::size_t(given ? 1 : 0));
    }
};

QTEST_GUILESS_MAIN(tst_RecordSheet)
#include "tst_recordsheet.moc"
