#include "session/RunEngine.h"

#include "protocol/Paces.h"
#include "sound/PacingTimer.h"

RunEngine::RunEngine(PacingTimer& introductionTimer, PacingTimer& trialTimer, DigitPlay play, QObject* parent)
    : QObject(parent), introductionTimer_(introductionTimer), trialTimer_(trialTimer), play_(std::move(play))
{
    introductionTimer_.setInterval(kIntroductionInterval);
    connect(&introductionTimer_, &PacingTimer::ticked, this, [this] { playNextDigit(introductionTimer_); });
    connect(&trialTimer_, &PacingTimer::ticked, this, [this] { playNextDigit(trialTimer_); });
}

void RunEngine::chooseIntroduction(ItemSet set)
{
    if (isRunning())
        return;
    itemSet_ = set;
    toReady();
}

void RunEngine::chooseTrial(int pace)
{
    if (isRunning() || !isPace(pace))
        return;
    itemSet_ = ItemSet::Trial;
    pace_ = pace;
    trialTimer_.setInterval(kTrialIntervals[std::size_t(pace)]);
    toReady();
}

// The position is left alone: a paused run goes on with the digit after the last one heard.
// The first digit comes with the first tick, one interval after the start.
void RunEngine::startOrPause()
{
    switch (state_) {
    case State::Running:
        // The position and the choice stay; a digit still sounding is not cut off.
        stopTimers();
        enter(State::Paused, &RunEngine::paused);
        break;
    case State::Paused:
        // Paused before its first digit, the run has given nothing yet: going on is its start.
        timer().start();
        enter(State::Running, position_ == 0 ? &RunEngine::started : &RunEngine::resumed);
        break;
    case State::Ready:
    case State::Finished:
        position_ = 0;
        timer().start();
        enter(State::Running, &RunEngine::started);
        break;
    }
}

void RunEngine::rewind()
{
    if (!isRunning())
        toReady();
}

void RunEngine::halt()
{
    if (isRunning())
        startOrPause();
}

void RunEngine::toReady()
{
    stopTimers();
    position_ = 0;
    enter(State::Ready, &RunEngine::rewound);
}

void RunEngine::enter(State state, void (RunEngine::*signal)())
{
    state_ = state;
    emit(this->*signal)();
    emit stateChanged(state_);
}

void RunEngine::playNextDigit(const PacingTimer& timer)
{
    const std::span<const int> list = digitsOf(itemSet_);
    if (!isRunning() || position_ >= int(list.size()))
        return;
    play_(list[std::size_t(position_)], timer.dueTime());
    emit digitPlayed(timer.dueTime());
    if (++position_ >= int(list.size())) {
        stopTimers();
        position_ = 0;
        enter(State::Finished, &RunEngine::finished);
    }
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
