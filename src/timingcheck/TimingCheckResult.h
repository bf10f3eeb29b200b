#pragma once

#include "timingcheck/DigitLocator.h"

#include <cmath>
#include <span>
#include <vector>

// What a timing check found in its recording of a fixed digit sequence: for each place of the
// sequence, whether a digit was found there and whole, where it began against the grid the first
// one sets, and what is wrong with it; for the whole recording, the condition it was taken in and
// the figures. A recording too quiet or too noisy to make out most digits is not judged and has
// no figures. From a microphone, on a clock of its own, the grid is the line fitted through the
// onsets: a constant difference of the clocks is taken out and given as a figure, and each digit
// is judged by what is left. TimingCheckVerdict tells it in words.
struct TimingCheckResult {
    // A digit is on time within this of its place on the grid: a sample is 0.023 ms, and a digit
    // placed by the stream is off by none.
    static constexpr double kOnTimeMs = 1.0;
    // Quieter than this at its loudest (16-bit peak), a recording is not judged: -64 dBFS, 3 dB
    // under the volume slider's 10 %, over the 16-bit rounding that loses digits from -67 dBFS
    // down. From a microphone, whose check looks only at each digit's first 46 ms, -57 dBFS: it
    // stops hearing all from -60 dBFS down.
    static constexpr int kQuietPeak = 20;
    static constexpr int kQuietMicrophonePeak = 46;
    // A recording whose noise floor lies less than this under its peak, of which most digits
    // could not be made out, is called too noisy: digits begin to be lost with the floor 37 dB
    // under the peak, and not before.
    static constexpr double kNoisyWithinDb = 40;
    // Recorders' and players' clocks are quartz crystals, each within 100 ppm of its rate: two
    // differ by 200 ppm at most, and a loopback that adapts its rate follows them. A difference
    // over this is a device running at another rate than it claims, and the verdict says so.
    static constexpr double kMostClockPpm = 1000;

    // How a recording was taken in. One too quiet is not looked into; one of which fewer than
    // half the digits were found whole is not judged, and is said to be too noisy where its noise
    // floor lies within kNoisyWithinDb of its peak.
    enum class Condition {
        Judged,
        TooQuiet,
        TooNoisy,
        DigitsLost,  // neither too quiet nor too noisy: other sound was recorded over them or cut into them
    };
    // What is wrong with the digit at one place.
    enum class Problem {
        None,
        Missing,   // no sound at its place
        NotWhole,  // a sound there, but cut into, overlaid or another digit
        OffTime,   // heard whole, kOnTimeMs or more off its place on the grid
    };
    // What was found at one place of the sequence.
    struct Digit {
        long long onset = -1;  // the sample it began at; -1: nothing found there
        bool whole = false;    // heard whole, and as the digit expected there
        // Onset minus its place on the grid (from a microphone, once judged, the fitted line);
        // NaN: nothing found there.
        double errorMs = NAN;
        Problem problem = Problem::Missing;
        bool found() const { return onset >= 0; }
    };

    int expected = 0;
    int found = 0;              // digits found whole, in their places
    std::vector<Digit> digits;  // by place in the sequence
    double largestIntervalErrorMs = 0;
    double driftMs = 0;         // of the last digit found
    double latencyMs = NAN;     // from the speakers to the microphone; NaN: not measured
    double clockPpm = NAN;      // from a microphone: how much faster its clock ran; NaN: not fitted
    // Nothing recorded at all is too quiet.
    Condition condition = Condition::TooQuiet;
    DigitLocator::Level level;  // of the whole recording
    bool fromMicrophone = false;
    int paceMs = 0;
    // A check that stopped once its first digits had been played into a recording too quiet to
    // judge: how many; 0 for one that ran to the end.
    int stoppedAfter = 0;

    bool judged() const { return condition == Condition::Judged; }
    // Judged, with every digit whole and on time.
    bool allOnTime() const;
    // A difference of the clocks no pair of sound cards has: the pace itself may be off by as much.
    bool clockOff() const { return std::fabs(clockPpm) > kMostClockPpm; }
    // The digits' onset errors by place, NaN where nothing was found.
    std::vector<double> errorsMs() const;

    // A recording of the output as sent to the speakers, or (`fromMicrophone`) as heard in a room.
    static TimingCheckResult judge(const QByteArray& stereo16, const DigitLocator& locator,
                                   std::span<const int> expected, int paceMs, bool fromMicrophone = false);
    // The same from the digits already found and the recording's peak. A digit counts as heard
    // whole when it is whole() to the locator (from a microphone, matching at kHeardMatch or
    // more) and is the digit expected at its place.
    static TimingCheckResult judge(const std::vector<DigitLocator::Found>& found, int peak,
                                   std::span<const int> expected, int paceMs, bool fromMicrophone = false);
    // The same with the recording's noise floor beside its peak, to tell too noisy from too quiet.
    static TimingCheckResult judge(const std::vector<DigitLocator::Found>& found, DigitLocator::Level level,
                                   std::span<const int> expected, int paceMs, bool fromMicrophone = false);

    // From a microphone, the direct sound's correlation with the digit's recording: see the
    // performance notes for what rooms give.
    static constexpr double kHeardMatch = 0.5;

    // For a judged recording from a microphone: the latency from `sent`, the check of what went
    // to the speakers meanwhile, whose recording began `sentOffsetSeconds` after this one. It is
    // the median over the digits heard whole in both, each paired with the last sent before it;
    // left unmeasured when fewer than half the digits pair.
    void measureLatency(const TimingCheckResult& sent, double sentOffsetSeconds);
};
