#include "soundcheck/TimingCheckResult.h"

#include "platform/Median.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr double kRate = 44100.0;
constexpr int kMostNamed = 5;

int peakOf(const QByteArray& stereo16)
{
    const auto* samples = reinterpret_cast<const std::int16_t*>(stereo16.constData());
    int peak = 0;
    for (qsizetype i = 0; i < stereo16.size() / 2; ++i)
        peak = std::max(peak, std::abs(int(samples[i])));
    return peak;
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
    if (fromMicrophone)
        return judge(locator.locateSequence(stereo16, {expected.begin(), expected.end()}, paceMs * kRate / 1000),
                     peakOf(stereo16), expected, paceMs, true);
    return judge(locator.locate(stereo16), peakOf(stereo16), expected, paceMs);
}

// Each sound is given the place its distance from the first sound puts it in: a missing digit
// leaves its place empty instead of shifting the rest.
TimingCheckResult TimingCheckResult::judge(const std::vector<DigitLocator::Found>& found, int peak,
                                           std::span<const int> expected, int paceMs, bool fromMicrophone)
{
    TimingCheckResult r;
    r.expected = int(expected.size());
    r.errorsMs.assign(expected.size(), NAN);
    r.whole.assign(expected.size(), false);
    r.onsets.assign(expected.size(), -1);
    const double paceFrames = paceMs * kRate / 1000;
    if (!found.empty()) {
        const long long origin = found.front().sample;
        for (const auto& f : found) {
            const long long place = std::llround(double(f.sample - origin) / paceFrames);
            if (place < 0 || place >= r.expected || !std::isnan(r.errorsMs[place]))
                continue;
            r.errorsMs[place] = (double(f.sample - origin) - double(place) * paceFrames) * 1000 / kRate;
            r.onsets[place] = f.sample;
            const double wholeFrom = fromMicrophone ? kHeardMatch : kWholeMatch;
            r.whole[place] = f.match >= wholeFrom && !f.overlapped && f.digit == expected[place];
        }
    }
    r.found = int(std::count(r.whole.begin(), r.whole.end(), true));
    if (peak < kQuietPeak) {
        r.verdict = QStringLiteral("The recording is too quiet to judge: turn the volume up and check that the sound reaches what is recorded.");
        return r;
    }
    if (2 * r.found < r.expected) {
        r.verdict = QStringLiteral("The recording is too noisy or too quiet to judge: only %1 of %2 digits could be made out.")
                        .arg(r.found).arg(r.expected);
        return r;
    }
    r.judged = true;
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
    if (problems.isEmpty()) {
        r.verdict = QStringLiteral("All %1 digits on time: largest interval error %2 ms")
                        .arg(r.expected).arg(r.largestIntervalErrorMs, 0, 'f', 2);
        return r;
    }
    const int count = int(problems.size());
    if (count > kMostNamed) {
        problems = problems.mid(0, kMostNamed);
        problems << QStringLiteral("And %1 more.").arg(count - kMostNamed);
    }
    // A room's echoes and noise can hide a digit or move where it seems to begin.
    if (fromMicrophone)
        problems << QStringLiteral("Through a microphone, a room's echoes and noise can make a digit that came on time "
                                   "look late or unclear: check again nearer the speaker, or what the computer sends "
                                   "to the speakers.");
    r.verdict = QStringLiteral("%1 of %2 digits were not heard whole and on time.\n%3")
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
            const double latency = double(onsets[heard]) / kRate - (double(sent.onsets[s]) / kRate + sentOffsetSeconds);
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
    if (std::isfinite(latencyMs))
        lines << QStringLiteral("Latency: %1 ms").arg(latencyMs, 0, 'f', 1);
    return lines;
}
