#pragma once

#include "sound/SteadyTime.h"

#include <QObject>
#include <functional>
#include <span>

class PacingTimer;
class RunControls;

// The paced presentation of one item set: choice, start, pause, rewind and the ticks that play the
// digits. Needs no window: it acts through RunControls, two pacing timers (the introduction's and
// the trials') and a digit player.
//
// States: Ready (position 0, no timer), Running (one timer active), Paused (position as left,
// "Reset Trial" enabled). At most one timer runs, and only while Running. The tick that plays the
// last digit ends the run and leaves it Ready to present the same set again.
class RunEngine final : public QObject {
    Q_OBJECT
public:
    enum class ItemSet { Demonstration, Practice, Trial };

    // Starts one digit 1..9, to be heard on the tick's due time, and returns at once.
    using DigitPlay = std::function<void(int digit, SteadyTime due)>;

    RunEngine(RunControls& controls, PacingTimer& introductionTimer, PacingTimer& trialTimer,
              DigitPlay play, QObject* parent = nullptr);

    // Each choice rewinds the chosen set and discards a pause.
    void chooseDemonstration() { chooseIntroduction(ItemSet::Demonstration); }
    void choosePractice() { chooseIntroduction(ItemSet::Practice); }
    // `pace` 0 to 3: 2.4, 2.0, 1.6 or 1.2 s.
    void chooseTrial(int pace);
    // Starts or resumes a run that is not running; pauses one that is.
    void startOrPause();
    // Back to the first digit of the chosen set.
    void rewind();

    // The digits `set` presents, in order.
    static std::span<const int> digitsOf(ItemSet set);

    ItemSet itemSet() const { return itemSet_; }
    // The trial pace last chosen, 0 to 3; it is the set's only while itemSet() is Trial.
    int pace() const { return pace_; }
    bool isRunning() const { return running_; }
    // The index of the next digit to play.
    int position() const { return position_; }

signals:
    // A run started (its timer already going) or resumed; paused or ended.
    void runningChanged(bool running);
    // A digit was started, to be heard on the tick's due time `due` (after DigitPlay).
    void digitPlayed(SteadyTime due);
    // The next digit to play is the first of the set now chosen: after a choice, or a rewind.
    void rewound();

private:
    void chooseIntroduction(ItemSet set);
    void start();
    void pause();
    void playNextDigit(const PacingTimer& timer);
    void finishRun();
    void stopTimers();
    PacingTimer& timer() const;
    std::span<const int> digits() const { return digitsOf(itemSet_); }

    RunControls& controls_;
    PacingTimer& introductionTimer_;
    PacingTimer& trialTimer_;
    DigitPlay play_;

    ItemSet itemSet_ = ItemSet::Demonstration;
    bool running_ = false;
    int position_ = 0;
    int pace_ = 0;
};
