#include "platform/QtHiTime.h"

#include <QTest>
#include <QThread>

using namespace std::chrono;

// The real pacing timer on a short interval: ticks on an exact grid from the moment it was
// enabled, and none once disabled.
class tst_QtHiTime : public QObject {
    Q_OBJECT
private slots:
    void ticksFollowAGridThatDoesNotDrift()
    {
        QtHiTime timer;
        QCOMPARE(timer.Interval(), 2400);
        QVERIFY(!timer.Enabled());
        timer.setInterval(20);
        std::vector<HiTime::Clock::time_point> due, delivered;
        connect(&timer, &HiTime::Timer, [&] {
            due.push_back(timer.dueTime());
            delivered.push_back(HiTime::Clock::now());
            if (due.size() == 2)
                QThread::msleep(30);  // a slow handler must not shift the grid
            if (due.size() == 6)
                timer.setEnabled(false);
        });
        const auto enabledAt = HiTime::Clock::now();
        timer.setEnabled(true);
        QTRY_COMPARE(due.size(), std::size_t(6));
        QVERIFY(due[0] >= enabledAt + milliseconds(20));
        for (std::size_t i = 0; i < due.size(); ++i) {
            QVERIFY(delivered[i] >= due[i]);  // never early
            if (i > 0)
                QCOMPARE(due[i] - due[i - 1], HiTime::Clock::duration(milliseconds(20)));
        }
        QTest::qWait(80);
        QCOMPARE(due.size(), std::size_t(6));  // none after Enabled went false
    }
};

QTEST_GUILESS_MAIN(tst_QtHiTime)
#include "tst_qthitime.moc"
