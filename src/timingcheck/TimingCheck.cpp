#include "timingcheck/TimingCheck.h"
#include "sound/SoundFormat.h"

#include "sound/PacingTimer.h"
#include "sound/SoundOutput.h"
#include "protocol/DigitLists.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

// A digit is looked for once the recording holds it whole: the longest lasts 0.6 s, and the
// locator looks a little past its end.
constexpr qsizetype kWholeFrames = qsizetype(0.7 * double(kSampleRate));
// Each look starts this far before the last one ended, so that a digit it cut is found whole.
constexpr qsizetype kOverlapFrames = qsizetype(0.1 * double(kSampleRate));

double dbfs(float peak)
{
    return peak > 0 ? 20 * std::log10(peak / 32768.0) : -std::numeric_limits<double>::infinity();
}

}  // namespace

std::span<const int> TimingCheck::sequence()
{
    return std::span<const int>(kTrialDigits).first(21);
}

TimingCheck::TimingCheck(SoundOutput& output, SoundRecorder& recorder, PacingTimer& pace, PacingTimer& tail,
                         PacingTimer& meter, QObject* parent)
    : QObject(parent), output_(output), recorder_(recorder), pace_(pace), tail_(tail), meter_(meter), player_(output)
{
    pace_.setInterval(kPaceMs);
    tail_.setInterval(kTailMs);
    meter_.setInterval(kMeterMs);
    connect(&pace_, &PacingTimer::ticked, this, &TimingCheck::playNext);
    connect(&tail_, &PacingTimer::ticked, this, &TimingCheck::finish);
    connect(&meter_, &PacingTimer::ticked, this, &TimingCheck::readLevel);
}

TimingCheck::~TimingCheck()
{
    if (running_)
        stopAll();
}

// The stream opens first, as for a run, and settles the way the sound takes, which the
// recording follows; the recording starts before the first tick, so that it holds the first digit.
bool TimingCheck::start(SoundRecorder::Source source)
{
    if (running_ || !output_.open())
        return false;
    if (!recorder_.start(source)) {
        output_.close();
        return false;
    }
    running_ = true;
    source_ = source;
    next_ = 0;
    heard_.clear();
    peak_ = 0;
    scanned_ = 0;
    grid_.reset();
    errorsSoFar_.assign(sequence().size(), std::numeric_limits<double>::infinity());
    pace_.start();
    meter_.start();
    emit runningChanged(true);
    emit progressed(0, int(sequence().size()) * kPaceMs / 1000 + kTailMs / 1000);
    return true;
}

void TimingCheck::cancel()
{
    if (!running_)
        return;
    stopAll();
    emit runningChanged(false);
}

// Timers first, so that no tick comes to a check that has let its sound go.
void TimingCheck::stopAll()
{
    pace_.stop();
    tail_.stop();
    meter_.stop();
    recorder_.stop();
    output_.close();
    running_ = false;
}

void TimingCheck::playNext()
{
    if (!running_)
        return;
    const std::span<const int> digits = sequence();
    // The digits so far have each had a pace to arrive: a recording that stayed as quiet as this
    // through them cannot be judged, and the rest would only keep the examiner waiting.
    if (next_ == kSilentDigits) {
        readLevel();
        if (peak_ <= kSilentPeak) {
            stopEarly(peak_);
            return;
        }
    }
    player_.play(digits[next_], pace_.dueTime());
    ++next_;
    const int total = int(digits.size());
    emit progressed(next_, ((total - next_) * kPaceMs + kTailMs + 500) / 1000);
    if (next_ == total) {
        pace_.stop();
        tail_.start();
    }
    if (source_ == SoundRecorder::Source::Speakers)
        findNewDigits();
}

void TimingCheck::readLevel()
{
    const QByteArray fresh = recorder_.recordedFrom(heard_.size() / kFrameBytes);
    heard_.append(fresh);
    const float peak = DigitLocator::levelOf(fresh).peak;
    peak_ = std::max(peak_, peak);
    emit levelMeasured(dbfs(peak));
}

// Looks for digits in what has come in since the last look, on the grid the first one found
// sets; the figures after the check come from the whole recording, judged afresh.
void TimingCheck::findNewDigits()
{
    readLevel();
    const qsizetype end = heard_.size() / kFrameBytes - kWholeFrames;
    const qsizetype from = std::max<qsizetype>(scanned_ - kOverlapFrames, 0);
    if (end - from < kWholeFrames)
        return;
    bool changed = false;
    for (const DigitLocator::Found& f : locator_.locate(heard_.mid(from * kFrameBytes, (end - from + kWholeFrames) * kFrameBytes))) {
        const long long onset = from + f.sample;
        if (!f.whole() || onset >= end || (from > 0 && f.sample < kOverlapFrames / 2))
            continue;
        if (!grid_)
            grid_.emplace(onset, kPaceMs);
        const int place = grid_->placeOf(onset, int(errorsSoFar_.size()));
        if (place < 0 || std::isfinite(errorsSoFar_[place]))
            continue;
        errorsSoFar_[place] = grid_->errorMs(onset, place);
        changed = true;
    }
    scanned_ = end;
    if (changed)
        emit digitsFound(errorsSoFar_);
}

// Too quiet, from its level alone; the result tells how many digits were played before the stop.
void TimingCheck::stopEarly(float peak)
{
    static_assert(kSilentPeak < TimingCheckResult::kQuietPeak && kSilentPeak < TimingCheckResult::kQuietMicrophonePeak);
    stopAll();
    emit runningChanged(false);
    TimingCheckResult result = TimingCheckResult::judge({}, DigitLocator::Level{peak, 0}, sequence(), kPaceMs,
                                                        source_ == SoundRecorder::Source::Microphone);
    result.stoppedAfter = next_;
    emit finished(result);
}

void TimingCheck::finish()
{
    const SoundRecorder::Recording recording = recorder_.stop();
    stopAll();
    emit runningChanged(false);
    const bool microphone = source_ == SoundRecorder::Source::Microphone;
    TimingCheckResult result = TimingCheckResult::judge(recording.sound, locator_, sequence(), kPaceMs, microphone);
    if (microphone && result.judged() && !recording.speakers.isEmpty())
        result.measureLatency(TimingCheckResult::judge(recording.speakers, locator_, sequence(), kPaceMs),
                              recording.speakersOffsetSeconds);
    emit finished(result);
}
