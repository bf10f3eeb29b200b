#include "timingcheck/TimingCheckResult.h"
#include "timingcheck/DigitGrid.h"
#include "sound/SoundFault.h"
#include "sound/SoundFormat.h"

#include "sound/Median.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// A 16-bit level in dB against full scale, to the dB; nothing at all is under the last bit.
QString dB(double level)
{
    return level >= 1 ? QStringLiteral("%1 dB").arg(20 * std::log10(level / 32768), 0, 'f', 0)
                      : QStringLiteral("under -90 dB");
}

}  // namespace

QString TimingCheckResult::levelInWords(float peak)
{
    return peak >= 1 ? QStringLiteral("peaks at ") + dB(peak) : QStringLiteral("silent: ") + dB(0);
}

namespace {

// Under this peak a recording is too quiet to judge, whatever digits it may hold.
bool tooQuiet(DigitLocator::Level level, bool fromMicrophone)
{
    return level.peak < (fromMicrophone ? TimingCheckResult::kQuietMicrophonePeak : TimingCheckResult::kQuietPeak);
}

// Why a recording cannot be judged, in plain words, with its level and what to do; empty when
// it can be. `found` of `expected` digits were made out.
QString unjudged(DigitLocator::Level level, int found, int expected, bool fromMicrophone)
{
    const QString peak = TimingCheckResult::levelInWords(level.peak);
    if (tooQuiet(level, fromMicrophone))
        return fromMicrophone ? QStringLiteral("The microphone's recording is too quiet to judge (%1). Raise the volume slider "
                                               "or the microphone's input level, or bring the microphone nearer the speaker, "
                                               "and check again.").arg(peak)
                              : QStringLiteral("The recording is too quiet to judge (%1). Raise the volume slider and check again.").arg(peak);
    if (2 * found >= expected)
        return {};
    const double belowDb = 20 * std::log10(level.peak / std::max(level.floor, 1e-3f));
    if (belowDb < TimingCheckResult::kNoisyWithinDb)
        return QStringLiteral("The recording is too noisy to judge: only %1 of %2 digits could be made out, its noise "
                              "(%3) lying only %4 dB under the digits (%5). %6")
            .arg(found).arg(expected).arg(dB(level.floor)).arg(belowDb, 0, 'f', 0).arg(peak)
            .arg(fromMicrophone ? QStringLiteral("Check again in a quieter room, or with the microphone nearer the speaker.")
                                : QStringLiteral("Close other programs that play sound and check again."));
    return QStringLiteral("Only %1 of %2 digits could be made out, though the recording is neither too quiet nor too "
                          "noisy (%3): other sound was recorded over them or cut into them. Close other programs that "
                          "play sound and check again.").arg(found).arg(expected).arg(peak);
}

// The line onset = a + b * place through the places of the digits heard whole, least squares,
// leaving out, one at a time, the digit furthest off it while that is 1 ms or more off and more
// than half the digits remain: a digit truly late must not tilt the line for the others.
std::pair<double, double> clockLine(const std::vector<long long>& onsets, const std::vector<bool>& whole, double paceFrames)
{
    std::vector<int> kept;
    for (int i = 0; i < int(onsets.size()); ++i)
        if (whole[i])
            kept.push_back(i);
    const std::size_t half = kept.size() / 2;
    for (;;) {
        double mx = 0, my = 0;
        for (int i : kept) {
            mx += double(i) / double(kept.size());
            my += double(onsets[i]) / double(kept.size());
        }
        double sxy = 0, sxx = 0;
        for (int i : kept) {
            sxy += (i - mx) * (double(onsets[i]) - my);
            sxx += (i - mx) * (i - mx);
        }
        const double b = sxx > 0 ? sxy / sxx : paceFrames, a = my - b * mx;
        auto off = [&](int i) { return std::fabs(double(onsets[i]) - a - b * i); };
        const auto worst = std::max_element(kept.begin(), kept.end(), [&](int x, int y) { return off(x) < off(y); });
        if (kept.size() <= half + 1 || off(*worst) * 1000 / double(kSampleRate) < TimingCheckResult::kOnTimeMs)
            return {a, b};
        kept.erase(worst);
    }
}

QString problem(int place, double errorMs, bool found, bool whole)
{
    if (!found)
        return QStringLiteral("Digit %1 is missing.").arg(place + 1);
    if (!whole)
        return QStringLiteral("Digit %1 was garbled.").arg(place + 1);
    return QStringLiteral("Digit %1 came %2 ms %3.").arg(place + 1).arg(std::fabs(errorMs), 0, 'f', 1).arg(errorMs > 0 ? "late" : "early");
}

}  // namespace

TimingCheckResult TimingCheckResult::judge(const QByteArray& stereo16, const DigitLocator& locator,
                                           std::span<const int> expected, int paceMs, bool fromMicrophone)
{
    // Too quiet is said from the level alone, so the digits are not looked for: near the last
    // bit every stretch of rounding noise is a sound to match, and that took seconds.
    const DigitLocator::Level level = DigitLocator::levelOf(stereo16);
    if (tooQuiet(level, fromMicrophone))
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
    r.errorsMs.assign(expected.size(), NAN);
    r.whole.assign(expected.size(), false);
    r.onsets.assign(expected.size(), -1);
    const double paceFrames = DigitGrid::framesOf(paceMs);
    if (!found.empty()) {
        const DigitGrid grid(found.front().sample, paceMs);
        for (const auto& f : found) {
            const int place = grid.placeOf(f.sample, r.expected);
            if (place < 0 || !std::isnan(r.errorsMs[place]))
                continue;
            r.errorsMs[place] = grid.errorMs(f.sample, place);
            r.onsets[place] = f.sample;
            r.whole[place] = (fromMicrophone ? f.whole(kHeardMatch) : f.whole()) && f.digit == expected[place];
        }
    }
    r.found = int(std::count(r.whole.begin(), r.whole.end(), true));
    r.verdict = unjudged(level, r.found, r.expected, fromMicrophone);
    if (!r.verdict.isEmpty())
        return r;
    r.judged = true;
    if (fromMicrophone) {
        // Each digit against the microphone's own clock.
        const auto [a, b] = clockLine(r.onsets, r.whole, paceFrames);
        r.clockPpm = (b / paceFrames - 1) * 1e6;
        for (int i = 0; i < r.expected; ++i)
            if (r.onsets[i] >= 0)
                r.errorsMs[i] = (double(r.onsets[i]) - a - b * i) * 1000 / double(kSampleRate);
    }
    double last = NAN;
    for (int i = 0; i < r.expected; ++i) {
        if (std::isnan(r.errorsMs[i]))
            continue;
        if (!std::isnan(last))
            r.largestIntervalErrorMs = std::max(r.largestIntervalErrorMs, std::fabs(r.errorsMs[i] - last));
        last = r.errorsMs[i];
        r.driftMs = r.errorsMs[i];
    }
    QStringList problems;
    for (int i = 0; i < r.expected; ++i)
        if (fromMicrophone && !r.whole[i])
            problems << QStringLiteral("Digit %1 could not be made out.").arg(i + 1);
        else if (!r.whole[i] || std::fabs(r.errorsMs[i]) >= kOnTimeMs)
            problems << problem(i, r.errorsMs[i], !std::isnan(r.errorsMs[i]), r.whole[i]);
    // A difference of clocks no sound card has: the pace itself may be off by as much.
    const QString clock = std::fabs(r.clockPpm) > kMostClockPpm
        ? QStringLiteral("The microphone's clock and the sound output's differ by %1 ppm, more than sound cards' clocks do: "
                         "one of them runs at another rate than it claims, and the pace may be off by %2 ms a digit.\n")
              .arg(r.clockPpm, 0, 'f', 0).arg(std::fabs(r.clockPpm) * 1e-6 * paceMs, 0, 'f', 1)
        : QString();
    if (problems.isEmpty()) {
        r.verdict = clock + QStringLiteral("All %1 digits on time: largest interval error %2 ms")
                                .arg(r.expected).arg(r.largestIntervalErrorMs, 0, 'f', 2);
        return r;
    }
    const int count = int(problems.size());
    if (count > kMostDigitsNamed) {
        problems = problems.mid(0, kMostDigitsNamed);
        problems << QStringLiteral("And %1 more.").arg(count - kMostDigitsNamed);
    }
    // A room's echoes and noise can hide a digit or move where it seems to begin.
    if (fromMicrophone)
        problems << QStringLiteral("Through a microphone, a room's echoes and noise can make a digit that came on time "
                                   "look late or unclear: check again nearer the speaker, or what the computer sends "
                                   "to the speakers.");
    r.verdict = clock + QStringLiteral("%1 of %2 digits were not heard whole and on time.\n%3")
                            .arg(count).arg(r.expected).arg(problems.join(QLatin1Char('\n')));
    return r;
}

void TimingCheckResult::measureLatency(const TimingCheckResult& sent, double sentOffsetSeconds)
{
    if (!judged || !sent.judged || !std::isfinite(sentOffsetSeconds))
        return;
    std::vector<double> latencies;
    for (std::size_t heard = 0; heard < onsets.size(); ++heard) {
        if (!whole[heard])
            continue;
        double nearest = NAN;
        for (std::size_t s = 0; s < sent.onsets.size(); ++s) {
            if (!sent.whole[s])
                continue;
            // A hair before: a digit can only seem to be heard early by the locator's own error.
            const double latency = double(onsets[heard]) / double(kSampleRate) - (double(sent.onsets[s]) / double(kSampleRate) + sentOffsetSeconds);
            if (latency > -0.0005 && !(latency >= nearest))
                nearest = latency;
        }
        if (std::isfinite(nearest))
            latencies.push_back(std::max(nearest, 0.0));
    }
    if (2 * latencies.size() >= onsets.size())
        latencyMs = median(latencies) * 1000;
}

QStringList TimingCheckResult::figures() const
{
    if (!judged)
        return {};
    QStringList lines = {QStringLiteral("Digits found: %1 of %2").arg(found).arg(expected),
                         QStringLiteral("Largest interval error: %1 ms").arg(largestIntervalErrorMs, 0, 'f', 3),
                         QStringLiteral("Drift: %1 ms").arg(driftMs, 0, 'f', 3)};
    if (std::isfinite(clockPpm))
        lines << QStringLiteral("Clock difference: %1 ppm").arg(std::round(clockPpm) + 0.0, 0, 'f', 0);  // never "-0"
    if (std::isfinite(latencyMs))
        lines << QStringLiteral("Latency: %1 ms").arg(latencyMs, 0, 'f', 1);
    return lines;
}
