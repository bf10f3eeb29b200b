#pragma once

#include "session/RunEngine.h"
#include "sound/DigitPlayer.h"
#include "sound/PacingTimer.h"

#include <QObject>
#include <QString>

class DeliveryNotice;
class OutputKeeper;
class SoundOutput;

// One examination's runs, as the windows follow them: the run engine, the player that sounds
// its digits, the keeper of the sound output and the notice after a run. Needs no window. Its
// signals are the one thing to follow, each told after the session's own parts have taken it
// in, in a fixed order: a run started while the one before still settles has that run's
// delivered() (and noticeReady()) told before its runStarted().
class TestSession final : public QObject {
    Q_OBJECT
public:
    // `output` outlives the session; the session's four timers are made by `makeTimer` and
    // owned by it.
    TestSession(SoundOutput& output, const PacingTimerFactory& makeTimer, QObject* parent = nullptr);
    ~TestSession() override;

    // The commands: choice, start, pause, rewind.
    RunEngine& engine() { return *engine_; }
    const RunEngine& engine() const { return *engine_; }

    // Keeps the output open for a timing check as for a run.
    void setOutputNeededElsewhere(bool needed);

    // The timers, for whoever drives time by hand: the pacing of the introduction and of the
    // trials, the wait for a finished run's faults to settle, the delay before the output closes.
    PacingTimer& introductionTimer() const { return introductionTimer_; }
    PacingTimer& trialTimer() const { return trialTimer_; }
    PacingTimer& settleTimer() const { return settleTimer_; }
    PacingTimer& closeTimer() const { return closeTimer_; }

signals:
    void runStarted();
    void runResumed();
    void runPaused();
    void runFinished();
    void rewound();
    // A digit was started, due at `due` and to be heard at `heard`, as the output's delay makes it.
    void digitPlayed(SteadyTime due, SteadyTime heard);
    // The last run finished went out on time or not, in the notice's summary; then, for a run
    // with faults, the notice itself.
    void delivered(std::optional<bool> onTime, const QString& summary);
    void noticeReady(const QString& text);

private:
    SoundOutput& output_;
    PacingTimer& introductionTimer_;
    PacingTimer& trialTimer_;
    PacingTimer& settleTimer_;
    PacingTimer& closeTimer_;
    DigitPlayer player_;
    OutputKeeper* keeper_;
    DeliveryNotice* notice_;
    RunEngine* engine_;
};
