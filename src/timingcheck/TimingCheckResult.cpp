#include "timingcheck/TimingCheckResult.h"

#include "sound/Median.h"
#include "sound/SoundFormat.h"
#include "timingcheck/DigitGrid.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using Condition = TimingCheckResult::Condition;
using Digit = TimingCheckResult::Digit;
using Problem = TimingCheckResult::Problem;

// Too quiet is said from the level alone; otherwise a recording is judged when half its
// digits or more were found whole.
Condition conditionOf(DigitLocator::Level level, int found, int expected, bool fromMicrophone)
{
    if (level.peak < (fromMicrophone ? TimingCheckResult::kQuietMicrophonePeak : TimingCheckResult::kQuietPeak))
        return Condition::TooQuiet;
    if (2 * found >= expected)
        return Condition::Judged;
    return level.floorUnderPeakDb() < TimingCheckResult::kNoisyWithinDb ? Condition::TooNoisy : Condition::DigitsLost;
}

Problem problemOf(const Digit& digit)
{
    if (!digit.found())
        return Problem::Missing;
    if (!digit.whole)
        return Problem::NotWhole;
    return std::fabs(digit.errorMs) >= TimingCheckResult::kOnTimeMs ? Problem::OffTime : Problem::None;
}

// The line onset = a + b * place through the places of the digits heard whole, least squares,
// leaving out, one at a time, the digit furthest off it while that is 1 ms or more off and more
// than half the digits remain: a digit truly late must not tilt the line for the others.
std::pair<double, double> clockLine(const std::vector<Digit>& digits, double paceFrames)
{
    std::vector<int> kept;
    for (int i = 0; i < int(digits.size()); ++i)
        if (digits[i].whole)
            kept.push_back(i);
    const auto onset = [&](int i) { return double(digits[i].onset); };
    const std::size_t half = kept.size() / 2;
    for (;;) {
        double mx = 0, my = 0;
        for (int i : kept) {
            mx += double(i) / double(kept.size());
            my += onset(i) / double(kept.size());
        }
        double sxy = 0, sxx = 0;
        for (int i : kept) {
            sxy += (i - mx) * (onset(i) - my);
            sxx += (i - mx) * (i - mx);
        }
        const double b = sxx > 0 ? sxy / sxx : paceFrames, a = my - b * mx;
        auto off = [&](int i) { return std::fabs(onset(i) - a - b * i); };
        const auto worst = std::max_element(kept.begin(), kept.end(), [&](int x, int y) { return off(x) < off(y); });
        if (kept.size() <= half + 1 || off(*worst) * 1000 / double(kSampleRate) < TimingCheckResult::kOnTimeMs)
            return {a, b};
        kept.erase(worst);
    }
}

}  // namespace

bool TimingCheckResult::allOnTime() const
{
    return judged() && std::all_of(digits.begin(), digits.end(), [](const Digit& d) { return d.problem == Problem::None; });
}

std::vector<double> TimingCheckResult::errorsMs() const
{
    std::vector<double> errors;
    for (const Digit& d : digits)
        errors.push_back(d.errorMs);
    return errors;
}

TimingCheckResult TimingCheckResult::judge(const QByteArray& stereo16, const DigitLocator& locator,
                                           std::span<const int> expected, int paceMs, bool fromMicrophone)
{
    // Too quiet is said from the level alone, so the digits are not looked for: near the last
    // bit every stretch of rounding noise is a sound to match, and that took seconds.
    const DigitLocator::Level level = DigitLocator::levelOf(stereo16);
    if (conditionOf(level, 0, int(expected.size()), fromMicrophone) == Condition::TooQuiet)
        return judge({}, level, expected, paceMs, fromMicrophone);
    if (fromMicrophone)
        return judge(locator.locateSequence(stereo16, {expected.begin(), expected.end()}, DigitGrid::framesOf(paceMs)),
                     level, expected, paceMs, true);
    return judge(locator.locate(stereo16), level, expected, paceMs);
}

TimingCheckResult TimingCheckResult::judge(const std::vector<DigitLocator::Found>& found, int peak,
                                           std::span<const int> expected, int paceMs, bool fromMicrophone)
{
    return judge(found, DigitLocator::Level{float(peak), 0}, expected, paceMs, fromMicrophone);
}

// Each sound is given its place on the grid of the first.
TimingCheckResult TimingCheckResult::judge(const std::vector<DigitLocator::Found>& found, DigitLocator::Level level,
                                           std::span<const int> expected, int paceMs, bool fromMicrophone)
{
    TimingCheckResult r;
    r.expected = int(expected.size());
    r.digits.assign(expected.size(), Digit{});
    r.level = level;
    r.fromMicrophone = fromMicrophone;
    r.paceMs = paceMs;
    if (!found.empty()) {
        const DigitGrid grid(found.front().sample, paceMs);
        for (const auto& f : found) {
            const int place = grid.placeOf(f.sample, r.expected);
            if (place < 0 || r.digits[place].found())
                continue;
            Digit& digit = r.digits[place];
            digit.onset = f.sample;
            digit.errorMs = grid.errorMs(f.sample, place);
            digit.whole = (fromMicrophone ? f.whole(kHeardMatch) : f.whole()) && f.digit == expected[place];
        }
    }
    r.found = int(std::count_if(r.digits.begin(), r.digits.end(), [](const Digit& d) { return d.whole; }));
    r.condition = conditionOf(level, r.found, r.expected, fromMicrophone);
    if (r.judged() && fromMicrophone) {
        // Each digit against the microphone's own clock.
        const double paceFrames = DigitGrid::framesOf(paceMs);
        const auto [a, b] = clockLine(r.digits, paceFrames);
        r.clockPpm = (b / paceFrames - 1) * 1e6;
        for (int i = 0; i < r.expected; ++i)
            if (r.digits[i].found())
                r.digits[i].errorMs = (double(r.digits[i].onset) - a - b * i) * 1000 / double(kSampleRate);
    }
    double last = NAN;
    for (Digit& digit : r.digits) {
        digit.problem = problemOf(digit);
        if (!r.judged() || !digit.found())
            continue;
        if (!std::isnan(last))
            r.largestIntervalErrorMs = std::max(r.largestIntervalErrorMs, std::fabs(digit.errorMs - last));
        last = digit.errorMs;
        r.driftMs = digit.errorMs;
    }
    return r;
}

void TimingCheckResult::measureLatency(const TimingCheckResult& sent, double sentOffsetSeconds)
{
    if (!judged() || !sent.judged() || !std::isfinite(sentOffsetSeconds))
        return;
    std::vector<double> latencies;
    for (const Digit& heard : digits) {
        if (!heard.whole)
            continue;
        double nearest = NAN;
        for (const Digit& s : sent.digits) {
            if (!s.whole)
                continue;
            // A hair before: a digit can only seem to be heard early by the locator's own error.
            const double latency = double(heard.onset) / double(kSampleRate) - (double(s.onset) / double(kSampleRate) + sentOffsetSeconds);
            if (latency > -0.0005 && !(latency >= nearest))
                nearest = latency;
        }
        if (std::isfinite(nearest))
            latencies.push_back(std::max(nearest, 0.0));
    }
    if (2 * latencies.size() >= digits.size())
        latencyMs = median(latencies) * 1000;
}
