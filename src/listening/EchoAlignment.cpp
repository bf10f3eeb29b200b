#include "listening/EchoAlignment.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr long long kBlock = 220;  // 5 ms
// How alike the digit's loudness and the recording's must run, and then their waveforms, for
// the echo to be taken as found: a voice over a digit, or noise, does not come near.
constexpr double kLoudnessLikeness = 0.7;
constexpr double kWaveLikeness = 0.3;
constexpr long long kCompared = 44100 / 5;  // the digit's first 200 ms, for the waveform

std::vector<double> loudness(std::span<const std::int16_t> sound, long long from, long long blocks)
{
    std::vector<double> out(std::size_t(std::max(0LL, blocks)), 0.0);
    for (long long b = 0; b < blocks; ++b) {
        double sum = 0;
        for (long long i = from + b * kBlock; i < from + (b + 1) * kBlock; ++i)
            sum += double(sound[std::size_t(i)]) * sound[std::size_t(i)];
        out[std::size_t(b)] = std::log10(1.0 + sum / kBlock);
    }
    return out;
}

// `sound` less its mean, and its energy so: what each offset is held against.
struct Centred {
    std::vector<double> values;
    double energy = 0;
    explicit Centred(const std::vector<double>& sound) : values(sound)
    {
        double mean = 0;
        for (const double v : values)
            mean += v;
        mean /= double(values.size());
        for (double& v : values) {
            v -= mean;
            energy += v * v;
        }
    }
};

// The normalised correlation of `a` with `b` from `offset` on, over a's length.
double likeness(const Centred& a, const std::vector<double>& b, std::size_t offset)
{
    const std::size_t n = a.values.size();
    double meanB = 0;
    for (std::size_t i = 0; i < n; ++i)
        meanB += b[offset + i];
    meanB /= double(n);
    double both = 0, energyB = 0;
    for (std::size_t i = 0; i < n; ++i) {
        both += a.values[i] * (b[offset + i] - meanB);
        energyB += (b[offset + i] - meanB) * (b[offset + i] - meanB);
    }
    return a.energy > 0 && energyB > 0 ? both / std::sqrt(a.energy * energyB) : 0;
}

}  // namespace

std::optional<long long> EchoAlignment::echoLate(std::span<const std::int16_t> heard, std::span<const std::int16_t> digit,
                                                 long long at)
{
    const long long length = (long long)(digit.size()) / kBlock * kBlock;
    const long long from = at - kEarliestFrames, to = at + kLatestFrames + length + kBlock;
    if (length < 20 * kBlock || from < 0 || to > (long long)(heard.size()))
        return std::nullopt;
    const Centred sent(loudness(digit, 0, length / kBlock));
    const std::vector<double> got = loudness(heard, from, (to - from) / kBlock);
    double best = 0;
    std::size_t bestAt = 0;
    for (std::size_t offset = 0; offset + sent.values.size() <= got.size(); ++offset)
        if (const double like = likeness(sent, got, offset); like > best) {
            best = like;
            bestAt = offset;
        }
    if (best < kLoudnessLikeness)
        return std::nullopt;
    // To the frame, within a block either side.
    const long long coarse = from + (long long)(bestAt) * kBlock, compared = std::min(kCompared, length);
    double sentEnergy = 0;
    for (long long i = 0; i < compared; ++i)
        sentEnergy += double(digit[std::size_t(i)]) * digit[std::size_t(i)];
    double bestWave = 0;
    long long echoAt = coarse;
    for (long long start = std::max(0LL, coarse - kBlock); start <= coarse + kBlock && start + compared <= (long long)(heard.size()); ++start) {
        double both = 0, heardEnergy = 0;
        for (long long i = 0; i < compared; ++i) {
            both += double(heard[std::size_t(start + i)]) * digit[std::size_t(i)];
            heardEnergy += double(heard[std::size_t(start + i)]) * heard[std::size_t(start + i)];
        }
        const double like = sentEnergy > 0 && heardEnergy > 0 ? both / std::sqrt(sentEnergy * heardEnergy) : 0;
        if (like > bestWave) {
            bestWave = like;
            echoAt = start;
        }
    }
    if (bestWave < kWaveLikeness)
        return std::nullopt;
    const long long late = echoAt - at;
    if (late >= 0 && late <= kRoomFrames)
        return std::nullopt;
    return late;
}
