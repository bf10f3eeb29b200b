#pragma once

#include "protocol/ItemSet.h"
#include "sound/SteadyTime.h"

#include <QObject>
#include <functional>

class PacingTimer;

// The paced presentation of one item set: choice, start, pause, rewind and the ticks that play the
// digits. Needs no window: it works two pacing timers (the introduction's and the trials') and a
// digit player, and tells its state; the window shows it.
//
// States:
//   Ready     at the first digit of the set chosen, nothing under way (after a choice or a rewind)
//   Running   one timer going; the next tick plays the digit at position()
//   Paused    stopped by the examiner, before its first digit or after some, to go on or rewind
//   Finished  the last digit was played; a start gives the same set again from its first digit
// At most one timer runs, and only while Running. A choice or a rewind while Running is refused:
// the window offers neither then.
class RunEngine final : public QObject {
    Q_OBJECT
public:
    enum class State { Ready, Running, Paused, Finished };
    Q_ENUM(State)

    // Starts one digit 1..9, to be heard on the tick's due time, and returns at once.
    using DigitPlay = std::function<void(int digit, SteadyTime due)>;

    RunEngine(PacingTimer& introductionTimer, PacingTimer& trialTimer, DigitPlay play, QObject* parent = nullptr);

    // Each choice rewinds the chosen set and discards a pause.
    void chooseDemonstration() { chooseIntroduction(ItemSet::Demonstration); }
    // `which`: 1 for the practice, 2 for the practice repeated (the same digits at the same pace).
    void choosePractice(int which = 1)
    {
        if (!isRunning())
            practice_ = which == 2 ? 2 : 1;
        chooseIntroduction(ItemSet::Practice);
    }
    // `pace` 0 to 3: 2.4, 2.0, 1.6 or 1.2 s.
    void chooseTrial(int pace);
    // Starts or resumes a run that is not running; pauses one that is.
    void startOrPause();
    // Pauses a run that is running; nothing else.
    void pause()
    {
        if (isRunning())
            startOrPause();
    }
    // Back to the first digit of the chosen set.
    void rewind();
    // The program ends: a run under way pauses, and no digit is played after this.
    void halt();

    State state() const { return state_; }
    bool isRunning() const { return state_ == State::Running; }
    // Running, or paused to go on.
    bool isUnderWay() const { return isRunning() || state_ == State::Paused; }
    ItemSet itemSet() const { return itemSet_; }
    // The trial pace last chosen, 0 to 3; it is the set's only while itemSet() is Trial.
    int pace() const { return pace_; }
    // The practice last chosen: 1, or 2 for the practice repeated.
    int practice() const { return practice_; }
    // The index of the next digit to play.
    int position() const { return position_; }

signals:
    // Each change of state, after the signal that names it below.
    void stateChanged(RunEngine::State state);
    // A run from its first digit (its timer already going): from Ready or Finished, or from a
    // pause before that digit.
    void started();
    // A run paused after some of its digits goes on (its timer already going).
    void resumed();
    void paused();
    // The last digit was played.
    void finished();
    // The next digit to play is the first of the set now chosen: after a choice, or a rewind.
    void rewound();
    // A digit was started, to be heard on the tick's due time `due` (after DigitPlay).
    void digitPlayed(SteadyTime due);

private:
    void chooseIntroduction(ItemSet set);
    void toReady();
    void enter(State state, void (RunEngine::*signal)());
    void playNextDigit(const PacingTimer& timer);
    void stopTimers();
    PacingTimer& timer() const;

    PacingTimer& introductionTimer_;
    PacingTimer& trialTimer_;
    DigitPlay play_;

    State state_ = State::Ready;
    ItemSet itemSet_ = ItemSet::Demonstration;
    int position_ = 0;
    int pace_ = 0;
    int practice_ = 1;
};
