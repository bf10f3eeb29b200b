#pragma once

#include "sound/SoundRecorder.h"
#include "sound/DigitPlayer.h"
#include "timingcheck/DigitGrid.h"
#include "timingcheck/DigitLocator.h"
#include "timingcheck/TimingCheckResult.h"

#include <QObject>
#include <optional>
#include <span>
#include <vector>

class PacingTimer;
class SoundOutput;

// Plays the check sequence through the sound output as a trial plays its digits (the same
// player, timer and due-time placing), records it at the same time, and judges the recording
// once the last digit has had time to arrive. While it runs it tells how far it has come, how
// loud the recording is, and (from the speakers) each digit's onset error as the digit is found.
// Needs no window.
class TimingCheck final : public QObject {
    Q_OBJECT
public:
    static constexpr int kPaceMs = 1200;
    // From the last digit's tick to the end of the recording: the output's lead and latency, the
    // longest digit and a recording's own latency.
    static constexpr int kTailMs = 2000;
    // How often the recording's level is read.
    static constexpr int kMeterMs = 100;
    // A recording that has stayed this quiet (16-bit peak, about -78 dBFS) once the first
    // kSilentDigits digits have had a pace each to arrive heard them hardly if at all: the check
    // stops.
    static constexpr int kSilentPeak = 4;
    static constexpr int kSilentDigits = 3;
    // The first 21 digits of the trials.
    static std::span<const int> sequence();

    // `pace` ticks the digits; `tail` ends the recording (its first tick); `meter` reads the level.
    TimingCheck(SoundOutput& output, SoundRecorder& recorder, PacingTimer& pace, PacingTimer& tail,
                PacingTimer& meter, QObject* parent = nullptr);
    // A check still running lets the output and the recording go, without a word.
    ~TimingCheck() override;

    // Starts a check; false (and nothing runs) when the recording or the output cannot start.
    bool start(SoundRecorder::Source source);
    // Ends a running check at once, without a result: the playback and the recording stop.
    void cancel();
    bool isRunning() const { return running_; }

signals:
    // A check started, or ended: whoever keeps the output open for runs is to keep it for this.
    void runningChanged(bool running);
    // `played` of the sequence's digits have been played; about `secondsLeft` remain.
    void progressed(int played, int secondsLeft);
    // The loudest of what was recorded in the last kMeterMs, in dB of full scale; -inf: silence.
    void levelMeasured(double dbfs);
    // The onset errors of the digits found so far, by place: NaN where a digit was not found
    // whole, +inf where the recording has not got that far yet.
    void digitsFound(const std::vector<double>& errorsMs);
    void finished(const TimingCheckResult& result);

private:
    void playNext();
    void readLevel();
    void findNewDigits();
    void stopEarly(float peak);
    void stopAll();
    void finish();

    SoundOutput& output_;
    SoundRecorder& recorder_;
    PacingTimer& pace_;
    PacingTimer& tail_;
    PacingTimer& meter_;
    DigitPlayer player_;
    DigitLocator locator_;
    bool running_ = false;
    SoundRecorder::Source source_ = SoundRecorder::Source::Speakers;
    int next_ = 0;
    // What has been recorded so far, as read for the meter, and how far digits were looked for.
    QByteArray heard_;
    float peak_ = 0;
    qsizetype scanned_ = 0;
    std::optional<DigitGrid> grid_;  // set by the first digit found
    std::vector<double> errorsSoFar_;
};
