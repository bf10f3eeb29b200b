#include "test/RunEngine.h"

#include "platform/HiTime.h"
#include "test/DigitLists.h"
#include "test/RunControls.h"

#include <QString>

namespace {
const QString kStopCaption = QStringLiteral(" Stop");
const QString kStartCaption = QStringLiteral(" Start");
constexpr int kStopPicture = 101;
constexpr int kStartPicture = 102;
}  // namespace

RunEngine::RunEngine(RunControls& controls, HiTime& tmrPractice, HiTime& tmrTest, DigitPlayer play)
    : controls_(controls), tmrPractice_(tmrPractice), tmrTest_(tmrTest), play_(std::move(play))
{
    practiceTicks_ = QObject::connect(&tmrPractice_, &HiTime::Timer, [this] { tmrPractice_Timer(); });
    testTicks_ = QObject::connect(&tmrTest_, &HiTime::Timer, [this] { tmrTest_Timer(); });
}

RunEngine::~RunEngine()
{
    QObject::disconnect(practiceTicks_);
    QObject::disconnect(testTicks_);
}

void RunEngine::Form_Load()
{
    controls_.setResetEnabled(false);
    PreTestMode_ = true;
    PreTestPosition_ = 0;
    TrialPosition_ = 0;
    Running_ = false;
}

void RunEngine::optPreTest_Click(qint16 Index)
{
    PreTestMode_ = true;
    PreTestPosition_ = 0;
    controls_.clearTrialOptions();
    PreTestSet_ = Index == 0 ? 0 : 1;
    controls_.setResetEnabled(false);
    controls_.focusStartStop();
}

void RunEngine::optTrial_Click(qint16 Index)
{
    if (Index < 1 || Index > 4)
        return;
    PreTestMode_ = false;
    TrialPosition_ = 0;
    controls_.clearPreTestOptions();
    tmrTest_.setInterval(static_cast<qint16>(TrialIntervals[Index]));
    controls_.setResetEnabled(false);
    controls_.focusStartStop();
}

void RunEngine::cmdStartStop_Click()
{
    if (Running_)
        stop();
    else
        start();
}

// Positions are left alone: a paused run continues with the digit after the last one heard.
// The first digit comes with the first tick, one interval after the start.
void RunEngine::start()
{
    Running_ = true;
    controls_.setStartStopCaption(kStopCaption);
    controls_.setStartStopPicture(kStopPicture);
    controls_.setResetEnabled(false);
    controls_.setMenusEnabled(false);
    controls_.setOptionsEnabled(false);
    (PreTestMode_ ? tmrPractice_ : tmrTest_).setEnabled(true);
}

// A pause: positions and the selection stay; a digit still sounding is not cut off.
void RunEngine::stop()
{
    Running_ = false;
    controls_.setOptionsEnabled(true);
    controls_.setResetEnabled(true);
    controls_.setMenusEnabled(true);
    controls_.setStartStopCaption(kStartCaption);
    controls_.setStartStopPicture(kStartPicture);
    disableTimers();
}

void RunEngine::cmdReset_Click()
{
    tmrTest_.setEnabled(false);
    tmrPractice_.setEnabled(false);
    TrialPosition_ = 0;
    PreTestPosition_ = 0;
    controls_.setResetEnabled(false);
    controls_.focusStartStop();
}

void RunEngine::tmrPractice_Timer()
{
    const int* list = nullptr;
    int length = 0;
    if (PreTestSet_ == 0) {
        list = DemoDigits.data();
        length = int(DemoDigits.size());
    } else if (PreTestSet_ == 1) {
        list = PracticeDigits.data();
        length = int(PracticeDigits.size());
    } else {
        return;
    }
    play_(list[PreTestPosition_]);
    ++PreTestPosition_;
    if (PreTestPosition_ >= length)
        EndRun();
}

void RunEngine::tmrTest_Timer()
{
    play_(TrialDigits[TrialPosition_]);
    ++TrialPosition_;
    if (TrialPosition_ >= TrialDigits.size())
        EndRun();
}

// The tick of the last digit ends the run and leaves it Ready to present the same set again.
// "Reset Trial" stays disabled: there is nothing to rewind.
void RunEngine::EndRun()
{
    disableTimers();
    PreTestPosition_ = 0;
    TrialPosition_ = 0;
    Running_ = false;
    controls_.setMenusEnabled(true);
    controls_.setStartStopCaption(kStartCaption);
    controls_.setStartStopPicture(kStartPicture);
    controls_.setOptionsEnabled(true);
}

void RunEngine::disableTimers()
{
    tmrPractice_.setEnabled(false);
    tmrTest_.setEnabled(false);
}
