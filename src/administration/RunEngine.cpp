#include "administration/RunEngine.h"

#include "sound/PacingTimer.h"
#include "administration/DigitLists.h"
#include "administration/RunControls.h"

namespace {
const QString kStopCaption = QStringLiteral(" Stop");
const QString kStartCaption = QStringLiteral(" Start");
constexpr int kStopPicture = 101;
constexpr int kStartPicture = 102;
}  // namespace

RunEngine::RunEngine(RunControls& controls, PacingTimer& introductionTimer, PacingTimer& trialTimer,
                     DigitPlay play, QObject* parent)
    : QObject(parent), controls_(controls), introductionTimer_(introductionTimer),
      trialTimer_(trialTimer), play_(std::move(play))
{
    introductionTimer_.setInterval(kIntroductionInterval);
    connect(&introductionTimer_, &PacingTimer::ticked, this, [this] { playNextDigit(introductionTimer_); });
    connect(&trialTimer_, &PacingTimer::ticked, this, [this] { playNextDigit(trialTimer_); });
    controls_.setResetEnabled(false);
}

void RunEngine::chooseIntroduction(ItemSet set)
{
    itemSet_ = set;
    position_ = 0;
    controls_.clearPaceChoice();
    controls_.setResetEnabled(false);
    controls_.focusStartStop();
    emit rewound();
}

void RunEngine::chooseTrial(int pace)
{
    if (pace < 0 || pace >= int(kTrialIntervals.size()))
        return;
    itemSet_ = ItemSet::Trial;
    pace_ = pace;
    position_ = 0;
    controls_.clearIntroductionChoice();
    trialTimer_.setInterval(kTrialIntervals[pace]);
    controls_.setResetEnabled(false);
    controls_.focusStartStop();
    emit rewound();
}

void RunEngine::startOrPause()
{
    if (running_)
        pause();
    else
        start();
}

// The position is left alone: a paused run goes on with the digit after the last one heard.
// The first digit comes with the first tick, one interval after the start.
void RunEngine::start()
{
    running_ = true;
    controls_.setStartStopCaption(kStopCaption);
    controls_.setStartStopPicture(kStopPicture);
    controls_.setResetEnabled(false);
    controls_.setMenusEnabled(false);
    controls_.setChoicesEnabled(false);
    timer().start();
    emit runningChanged(true);
}

// The position and the choice stay; a digit still sounding is not cut off.
void RunEngine::pause()
{
    running_ = false;
    controls_.setChoicesEnabled(true);
    controls_.setResetEnabled(true);
    controls_.setMenusEnabled(true);
    controls_.setStartStopCaption(kStartCaption);
    controls_.setStartStopPicture(kStartPicture);
    stopTimers();
    emit runningChanged(false);
}

void RunEngine::rewind()
{
    stopTimers();
    position_ = 0;
    controls_.setResetEnabled(false);
    controls_.focusStartStop();
    emit rewound();
}

void RunEngine::playNextDigit(const PacingTimer& timer)
{
    const std::span<const int> list = digits();
    if (!running_ || position_ >= int(list.size()))
        return;
    play_(list[position_], timer.dueTime());
    emit digitPlayed(timer.dueTime());
    if (++position_ >= int(list.size()))
        finishRun();
}

// "Reset Trial" stays disabled: there is nothing to rewind.
void RunEngine::finishRun()
{
    stopTimers();
    position_ = 0;
    running_ = false;
    controls_.setMenusEnabled(true);
    controls_.setStartStopCaption(kStartCaption);
    controls_.setStartStopPicture(kStartPicture);
    controls_.setChoicesEnabled(true);
    emit runningChanged(false);
}

void RunEngine::stopTimers()
{
    introductionTimer_.stop();
    trialTimer_.stop();
}

PacingTimer& RunEngine::timer() const
{
    return itemSet_ == ItemSet::Trial ? trialTimer_ : introductionTimer_;
}

std::span<const int> RunEngine::digitsOf(ItemSet set)
{
    switch (set) {
    case ItemSet::Demonstration: return kDemonstrationDigits;
    case ItemSet::Practice: return kPracticeDigits;
    case ItemSet::Trial: return kTrialDigits;
    }
    return {};
}
