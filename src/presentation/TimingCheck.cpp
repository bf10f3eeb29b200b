#include "presentation/TimingCheck.h"

#include "platform/PacingTimer.h"
#include "platform/SoundOutput.h"
#include "presentation/DigitLists.h"

std::span<const int> TimingCheck::sequence()
{
    return std::span<const int>(kTrialDigits).first(21);
}

TimingCheck::TimingCheck(SoundOutput& output, SoundRecorder& recorder, PacingTimer& pace, PacingTimer& tail,
                         QObject* parent)
    : QObject(parent), output_(output), recorder_(recorder), pace_(pace), tail_(tail), player_(output)
{
    pace_.setInterval(kPaceMs);
    tail_.setInterval(kTailMs);
    connect(&pace_, &PacingTimer::ticked, this, &TimingCheck::playNext);
    connect(&tail_, &PacingTimer::ticked, this, &TimingCheck::finish);
}

TimingCheck::~TimingCheck()
{
    if (running_) {
        recorder_.stop();
        output_.close();
    }
}

// The recording starts first, so that it holds the first digit; the stream opens before the
// first tick, as for a run.
bool TimingCheck::start(SoundRecorder::Source source)
{
    if (running_ || !recorder_.start(source))
        return false;
    if (!output_.open()) {
        recorder_.stop();
        return false;
    }
    running_ = true;
    source_ = source;
    next_ = 0;
    pace_.start();
    emit runningChanged(true);
    return true;
}

void TimingCheck::playNext()
{
    const std::span<const int> digits = sequence();
    player_.play(digits[next_], pace_.dueTime());
    if (++next_ == int(digits.size())) {
        pace_.stop();
        tail_.start();
    }
}

void TimingCheck::finish()
{
    tail_.stop();
    const SoundRecorder::Recording recording = recorder_.stop();
    output_.close();
    running_ = false;
    emit runningChanged(false);
    const bool microphone = source_ == SoundRecorder::Source::Microphone;
    TimingCheckResult result = TimingCheckResult::judge(recording.sound, locator_, sequence(), kPaceMs, microphone);
    if (microphone && result.judged && !recording.speakers.isEmpty())
        result.measureLatency(TimingCheckResult::judge(recording.speakers, locator_, sequence(), kPaceMs),
                              recording.speakersOffsetSeconds);
    emit finished(result);
}
