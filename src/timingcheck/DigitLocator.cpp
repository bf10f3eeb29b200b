#include "timingcheck/DigitLocator.h"
#include "sound/SoundFormat.h"

#include "resources/ResourceBytes.h"
#include "sound/WaveImage.h"

#include <algorithm>
#include <cmath>

namespace {

// A sound begins where the recording first rises over its onset level: 50 dB under the
// recording's peak, 8 times (18 dB) over its noise floor (white noise stays under it), and over
// nothing, the digital silence between sounds. Being relative, the level crosses each digit at
// the same point of its rise at any volume, until the rounding to 16 bits takes over.
constexpr float kUnderPeak = 0.00316f;     // -50 dB
constexpr float kAboveFloor = 8.0f;
constexpr long long kGapFrames = 4410;     // 100 ms below the level ends a sound
// Where the level meets a digit is foretold from its recording scaled to the sound's peak; the
// true onset is searched this far before and after that, and over a noise floor this far before.
constexpr long long kSearchBefore = 400;
constexpr long long kSearchAfter = 100;
constexpr long long kNoisySearchBefore = 2205;    // 50 ms: a soft onset hidden in noise
// How far the sound's gain may be off the ratio of peaks: a digit's peak rounded to 16 bits, a
// recorder that floors rather than rounds.
constexpr float kGainSlack = 1.25f;
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

// The lag in [from, to] at which the first n samples of `t` correlate best with `x`, and that
// correlation. The recording's energy comes from running sums; the products are summed in four
// independent lanes, so that a wide search over a quiet onset stays quick.
std::pair<long long, double> bestLag(const std::vector<float>& x, const std::vector<double>& energy,
                                     const std::vector<float>& t, std::size_t n, long long from, long long to)
{
    n = std::min(n, t.size());
    from = std::max(from, 0LL);
    to = std::min(to, (long long)x.size() - (long long)n);
    double yy = 0;
    for (std::size_t i = 0; i < n; ++i)
        yy += double(t[i]) * t[i];
    std::pair<long long, double> best{from, -2};
    for (long long at = from; at <= to; ++at) {
        const float* a = x.data() + at;
        double lane[4] = {0, 0, 0, 0};
        std::size_t i = 0;
        for (; i + 4 <= n; i += 4)
            for (std::size_t k = 0; k < 4; ++k)
                lane[k] += double(a[i + k]) * t[i + k];
        for (; i < n; ++i)
            lane[0] += double(a[i]) * t[i];
        const double xx = energy[std::size_t(at) + n] - energy[std::size_t(at)];
        const double c = xx > 0 && yy > 0 ? (lane[0] + lane[1] + lane[2] + lane[3]) / std::sqrt(xx * yy) : 0;
        if (c > best.second)
            best = {at, c};
    }
    return best;
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

float peakOf(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    float peak = 0;
    for (std::size_t i = from; i < to && i < x.size(); ++i)
        peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

}  // namespace

DigitLocator::DigitLocator()
{
    for (int d = 1; d <= 9; ++d) {
        const QByteArray bytes = resourceBytes(QStringLiteral("WAVE"), d);
        WaveImage w;
        if (WaveImage::parse(bytes.constData(), std::size_t(bytes.size()), w))
            templates_[d] = toMono(w.samples, w.frames);
        risen_[d].resize(templates_[d].size());
        float peak = 0;
        for (std::size_t i = 0; i < templates_[d].size(); ++i)
            risen_[d][i] = peak = std::max(peak, std::fabs(templates_[d][i]));
    }
}

DigitLocator::Level DigitLocator::levelOf(const QByteArray& stereo16)
{
    const std::vector<float> x = toMono(reinterpret_cast<const std::int16_t*>(stereo16.constData()),
                                        std::size_t(stereo16.size()) / 4);
    return {peakOf(x, 0, x.size()), noiseFloor(x)};
}

std::vector<DigitLocator::Found> DigitLocator::locate(const QByteArray& stereo16) const
{
    const auto* samples = reinterpret_cast<const std::int16_t*>(stereo16.constData());
    const std::vector<float> x = toMono(samples, std::size_t(stereo16.size()) / 4);
    std::vector<double> energy(x.size() + 1, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        energy[i + 1] = energy[i] + double(x[i]) * x[i];

    // Each sound as the stretch from its onset to its last loud frame.
    const float floor = noiseFloor(x);
    const float level = std::max({kUnderPeak * peakOf(x, 0, x.size()), kAboveFloor * floor, 1.0f});
    const bool noisy = kAboveFloor * floor >= level;
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
        const float soundPeak = peakOf(x, std::size_t(onset), std::size_t(end) + 1);
        Found best;
        best.match = -2;
        for (int d = 1; d <= 9; ++d) {
            const std::vector<float>& risen = risen_[d];
            if (risen.empty() || risen.back() <= 0)
                continue;
            // Where digit d, at the sound's gain, first reaches the level: at the soonest with the
            // level barely reached after rounding, at the latest with the gain overestimated.
            const float gain = soundPeak / risen.back();
            const auto reaches = [&](float at) {
                return (long long)(std::lower_bound(risen.begin(), risen.end(), std::min(at / gain, risen.back())) - risen.begin());
            };
            const long long latest = reaches(level * kGainSlack);
            const long long soonest = reaches(std::max(level - 1.0f, 0.0f) / kGainSlack);
            const auto [lag, coarse] = bestLag(x, energy, templates_[d], kCoarseLength,
                                               onset - latest - (noisy ? kNoisySearchBefore : kSearchBefore),
                                               onset - soonest + kSearchAfter);
            if (coarse < -1)
                continue;
            const double full = correlation(x, lag, templates_[d], templates_[d].size());
            if (full > best.match)
                best = {d, lag, full};
        }
        if (best.digit == 0)
            continue;
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
