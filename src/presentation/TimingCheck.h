#pragma once

#include "platform/SoundRecorder.h"
#include "presentation/DigitPlayer.h"
#include "soundcheck/DigitLocator.h"
#include "soundcheck/TimingCheckResult.h"

#include <QObject>
#include <span>

class PacingTimer;
class SoundOutput;

// Plays the check sequence through the sound output as a trial plays its digits (the same
// player, timer and due-time placing), records it at the same time, and judges the recording
// once the last digit has had time to arrive. Needs no window.
class TimingCheck final : public QObject {
    Q_OBJECT
public:
    static constexpr int kPaceMs = 1200;
    // From the last digit's tick to the end of the recording: the output's lead and latency, the
    // longest digit and a recording's own latency.
    static constexpr int kTailMs = 2000;
    // The first 21 digits of the trials.
    static std::span<const int> sequence();

    // `pace` ticks the digits; `tail` ends the recording (its first tick).
    TimingCheck(SoundOutput& output, SoundRecorder& recorder, PacingTimer& pace, PacingTimer& tail,
                QObject* parent = nullptr);
    // A check cut short (its window closed) lets the output and the recording go.
    ~TimingCheck() override;

    // Starts a check; false (and nothing runs) when the recording or the output cannot start.
    bool start(SoundRecorder::Source source);
    bool isRunning() const { return running_; }

signals:
    // A check started, or ended: whoever keeps the output open for runs is to keep it for this.
    void runningChanged(bool running);
    void finished(const TimingCheckResult& result);

private:
    void playNext();
    void finish();

    SoundOutput& output_;
    SoundRecorder& recorder_;
    PacingTimer& pace_;
    PacingTimer& tail_;
    DigitPlayer player_;
    DigitLocator locator_;
    bool running_ = false;
    SoundRecorder::Source source_ = SoundRecorder::Source::Speakers;
    int next_ = 0;
};
