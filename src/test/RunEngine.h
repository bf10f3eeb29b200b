#pragma once

#include <QObject>
#include <functional>

class HiTime;
class RunControls;

// The paced presentation of one item set: selection, start, pause, reset and the ticks that play
// the digits, as the main window's handlers. Needs no window: it acts through RunControls, two
// HiTime timers and a digit player.
//
// States: Ready (position 0, no timer), Running (one timer enabled), Paused (position as left,
// "Reset Trial" enabled). At most one timer runs, and only while Running.
class RunEngine {
public:
    // Plays one digit 1..9 and returns at once; its result is not looked at.
    using DigitPlayer = std::function<int(int digit)>;

    RunEngine(RunControls& controls, HiTime& tmrPractice, HiTime& tmrTest, DigitPlayer play);
    ~RunEngine();
    RunEngine(const RunEngine&) = delete;
    RunEngine& operator=(const RunEngine&) = delete;

    void Form_Load();
    void optPreTest_Click(qint16 Index);
    void optTrial_Click(qint16 Index);
    void cmdStartStop_Click();
    void cmdReset_Click();
    void tmrPractice_Timer();
    void tmrTest_Timer();

    bool PreTestMode() const { return PreTestMode_; }
    quint8 PreTestSet() const { return PreTestSet_; }
    bool Running() const { return Running_; }
    quint8 PreTestPosition() const { return PreTestPosition_; }
    quint8 TrialPosition() const { return TrialPosition_; }

private:
    void start();
    void stop();
    void EndRun();
    void disableTimers();

    RunControls& controls_;
    HiTime& tmrPractice_;
    HiTime& tmrTest_;
    DigitPlayer play_;
    QMetaObject::Connection practiceTicks_;
    QMetaObject::Connection testTicks_;

    bool PreTestMode_ = true;
    quint8 PreTestSet_ = 0;
    bool Running_ = false;
    quint8 PreTestPosition_ = 0;
    quint8 TrialPosition_ = 0;
};
