#include "soundcheck/DigitLocator.h"

#include "platform/Resources.h"
#include "platform/WaveImage.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRate = 44100.0;
constexpr float kOnsetLevel = 40.0f;       // well above digital silence, below any speech onset
constexpr long long kGapFrames = 4410;     // 100 ms below the level ends a sound
constexpr long long kSearchBefore = 400;   // how far before the energy onset the true one may lie
constexpr long long kSearchAfter = 100;
constexpr float kAboveFloor = 8.0f;               // 18 dB: white noise stays under it
constexpr long long kNoisySearchBefore = 2205;    // 50 ms: a soft onset hidden in noise
constexpr std::size_t kCoarseLength = 4096;

std::vector<float> toMono(const std::int16_t* samples, std::size_t frames)
{
    std::vector<float> mono(frames);
    for (std::size_t i = 0; i < frames; ++i)
        mono[i] = 0.5f * (float(samples[2 * i]) + float(samples[2 * i + 1]));
    return mono;
}

// Normalised correlation of `t` (first n samples) with `x` starting at `at`.
double correlation(const std::vector<float>& x, long long at, const std::vector<float>& t,
                   std::size_t n)
{
    n = std::min(n, t.size());
    if (at < 0 || at + (long long)n > (long long)x.size())
        return -1;
    double xy = 0, xx = 0, yy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double a = x[at + i], b = t[i];
        xy += a * b;
        xx += a * a;
        yy += b * b;
    }
    return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
}

// The RMS of the quietest fifth of 10 ms blocks: between digits there is only the floor.
float noiseFloor(const std::vector<float>& x)
{
    constexpr std::size_t kBlock = 441;
    std::vector<float> rms;
    for (std::size_t at = 0; at + kBlock <= x.size(); at += kBlock) {
        double sum = 0;
        for (std::size_t i = at; i < at + kBlock; ++i)
            sum += double(x[i]) * x[i];
        rms.push_back(float(std::sqrt(sum / kBlock)));
    }
    if (rms.empty())
        return 0;
    auto fifth = rms.begin() + std::ptrdiff_t(rms.size() / 5);
    std::nth_element(rms.begin(), fifth, rms.end());
    return *fifth;
}

}  // namespace

DigitLocator::DigitLocator()
{
    for (int d = 1; d <= 9; ++d) {
        const QByteArray bytes = resourceBytes(QStringLiteral("WAVE"), d);
        WaveImage w;
        if (WaveImage::parse(bytes.constData(), std::size_t(bytes.size()), w))
            templates_[d] = toMono(w.samples, w.frames);
    }
}

std::vector<DigitLocator::Found> DigitLocator::locate(const QByteArray& stereo16) const
{
    const auto* samples = reinterpret_cast<const std::int16_t*>(stereo16.constData());
    const std::vector<float> x = toMono(samples, std::size_t(stereo16.size()) / 4);

    // Each sound as the stretch from its onset to its last loud frame. Over a noise floor (a
    // microphone in a room) the level rises with it, and the true onset may lie further before
    // where the level is crossed.
    const float floor = noiseFloor(x);
    const float level = std::max(kOnsetLevel, kAboveFloor * floor);
    const long long searchBefore = level > kOnsetLevel ? kNoisySearchBefore : kSearchBefore;
    std::vector<std::pair<long long, long long>> sounds;
    long long lastLoud = -kGapFrames - 1;
    for (long long i = 0; i < (long long)x.size(); ++i) {
        if (std::fabs(x[i]) < level)
            continue;
        if (i - lastLoud > kGapFrames)
            sounds.push_back({i, i});
        sounds.back().second = lastLoud = i;
    }

    std::vector<Found> found;
    for (const auto& [onset, end] : sounds) {
        Found best;
        best.match = -2;
        for (int d = 1; d <= 9; ++d) {
            long long bestLag = onset;
            double bestCoarse = -2;
            for (long long at = onset - searchBefore; at <= onset + kSearchAfter; ++at) {
                const double c = correlation(x, at, templates_[d], kCoarseLength);
                if (c > bestCoarse) {
                    bestCoarse = c;
                    bestLag = at;
                }
            }
            const double full = correlation(x, bestLag, templates_[d], templates_[d].size());
            if (full > best.match)
                best = {d, bestLag, full};
        }
        best.overlapped = end > best.sample + (long long)templates_[best.digit].size() + kSearchAfter;
        found.push_back(best);
    }
    return found;
}

std::vector<DigitLocator::Found> DigitLocator::locateSequence(const QByteArray& stereo16, const std::vector<int>& digits,
                                                              double paceFrames) const
{
    const auto* samples = reinterpret_cast<const std::int16_t*>(stereo16.constData());
    const std::vector<float> x = toMono(samples, std::size_t(stereo16.size()) / 4);
    const auto best = [&](int digit, long long from, long long to) {
        Found f{digit, from, -2, false};
        for (long long at = std::max(from, 0LL); at <= to; ++at) {
            const double c = correlation(x, at, templates_[digit], kDirectFrames);
            if (c > f.match)
                f = {digit, at, c, false};
        }
        return f;
    };
    std::vector<Found> found;
    if (digits.empty() || digits.front() < 1 || digits.front() > 9)
        return found;
    found.push_back(best(digits.front(), 0, kFirstWithin));
    for (std::size_t i = 1; i < digits.size(); ++i) {
        const long long place = found.front().sample + std::llround(double(i) * paceFrames);
        if (digits[i] >= 1 && digits[i] <= 9)
            found.push_back(best(digits[i], place - kSearchAround, place + kSearchAround));
    }
    return found;
}

IntervalStats intervalStats(const std::vector<DigitLocator::Found>& found, double paceMs)
{
    IntervalStats s;
    std::vector<double> errors;
    for (std::size_t i = 1; i < found.size(); ++i)
        errors.push_back((found[i].sample - found[i - 1].sample) * 1000.0 / kRate - paceMs);
    s.count = int(errors.size());
    if (errors.empty())
        return s;
    for (double e : errors) {
        s.meanErrorMs += e / errors.size();
        s.maxAbsErrorMs = std::max(s.maxAbsErrorMs, std::fabs(e));
    }
    for (double e : errors)
        s.sdMs += (e - s.meanErrorMs) * (e - s.meanErrorMs) / errors.size();
    s.sdMs = std::sqrt(s.sdMs);
    return s;
}
