#include "session/TestSession.h"

#include "session/DeliveryNotice.h"
#include "session/OutputKeeper.h"
#include "sound/SoundOutput.h"

TestSession::TestSession(SoundOutput& output, const PacingTimerFactory& makeTimer, QObject* parent)
    : QObject(parent), output_(output), introductionTimer_(*makeTimer(this)), trialTimer_(*makeTimer(this)),
      settleTimer_(*makeTimer(this)), closeTimer_(*makeTimer(this)), player_(output),
      keeper_(new OutputKeeper(output, closeTimer_, this)), notice_(new DeliveryNotice(output, settleTimer_, this)),
      engine_(new RunEngine(introductionTimer_, trialTimer_,
                            [this](int digit, SteadyTime due) { player_.play(digit, due); }, this))
{
    connect(notice_, &DeliveryNotice::delivered, this, &TestSession::delivered);
    connect(notice_, &DeliveryNotice::noticeReady, this, &TestSession::noticeReady);
    // The output is held from a run's start to its pause or end: a choice between runs does not
    // put off its closing.
    connect(engine_, &RunEngine::started, this, [this] {
        keeper_->setNeeded(true);
        notice_->runStarted(engine_->itemSet());
        emit runStarted();
    });
    connect(engine_, &RunEngine::resumed, this, [this] {
        keeper_->setNeeded(true);
        emit runResumed();
    });
    connect(engine_, &RunEngine::paused, this, [this] {
        keeper_->setNeeded(false);
        emit runPaused();
    });
    connect(engine_, &RunEngine::finished, this, [this] {
        keeper_->setNeeded(false);
        notice_->runFinished();
        emit runFinished();
    });
    connect(engine_, &RunEngine::rewound, this, &TestSession::rewound);
    connect(engine_, &RunEngine::digitPlayed, this, [this](SteadyTime due) {
        notice_->digitStarted(due);
        emit digitPlayed(due, due + output_.heardAfterDue());
    });
}

// No tick may reach the player once it is gone: the engine and its timers go first.
TestSession::~TestSession()
{
    delete engine_;
    introductionTimer_.stop();
    trialTimer_.stop();
}

void TestSession::setOutputNeededElsewhere(bool needed)
{
    keeper_->setNeeded(needed);
}
