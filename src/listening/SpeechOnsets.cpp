#include "listening/SpeechOnsets.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr int kBands = 3;            // the whole band, the middle band, the high band
constexpr int kSmoothFrames = 10;    // the detection's window, 10 ms
constexpr int kFloorBlock = 10;      // the floor is taken over 10 ms blocks ...
constexpr int kFloorReach = 100;     // ... in the 100 blocks either side (2 s in all) ...
constexpr double kFloorQuantile = 0.2;  // ... as their lowest fifth: pauses are never rarer
// Digital silence has no floor: 100 dB under full scale stands in for it, under the rounding
// of 16-bit sound.
constexpr double kSilentFloor = 1e-10;
constexpr int kRiseReach = 2;  // the rise is judged over 5 ms, centred on each frame
constexpr int kRefineMaxFrames = 400;  // a rise out of the floor is never longer than 400 ms

// The first sample of 1 ms frame `k`.
long long frameStart(long long k) { return k * SpeechOnsets::kRate / 1000; }

// A second-order section of the cookbook's, in direct form I.
struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    static Biquad highPass(double hz, double q) { return make(hz, q, -1); }
    static Biquad lowPass(double hz, double q) { return make(hz, q, 1); }
    double operator()(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

private:
    static Biquad make(double hz, double q, double low)
    {
        const double w = 2 * std::numbers::pi * hz / SpeechOnsets::kRate;
        const double alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
        const double b = (1 - low * c) / 2 / a0;
        return {b, low * 2 * b, b, -2 * c / a0, (1 - alpha) / a0};
    }
};

// Each band's mean square in each 1 ms frame.
std::array<std::vector<double>, kBands> frameEnergies(std::span<const float> x, long long frames)
{
    std::array<std::vector<double>, kBands> e;
    for (auto& band : e)
        band.assign(frames, 0.0);
    constexpr double q = std::numbers::sqrt2 / 2;
    Biquad whole = Biquad::highPass(80, q);
    Biquad mid1 = Biquad::highPass(300, q), mid2 = Biquad::lowPass(3000, q);
    // Fourth-order Butterworth.
    Biquad high1 = Biquad::highPass(3000, 0.5412), high2 = Biquad::highPass(3000, 1.3066);
    for (long long k = 0; k < frames; ++k) {
        const long long from = frameStart(k), to = frameStart(k + 1);
        double sw = 0, sm = 0, sh = 0;
        for (long long i = from; i < to; ++i) {
            const double w = whole(x[i]), m = mid2(mid1(x[i])), h = high2(high1(x[i]));
            sw += w * w;
            sm += m * m;
            sh += h * h;
        }
        e[0][k] = sw / double(to - from);
        e[1][k] = sm / double(to - from);
        e[2][k] = sh / double(to - from);
    }
    return e;
}

// The floor under each 1 ms frame of one band.
std::vector<double> floorOf(const std::vector<double>& e)
{
    const long long frames = (long long)e.size();
    const long long blocks = (frames + kFloorBlock - 1) / kFloorBlock;
    std::vector<double> block(blocks, 0.0);
    for (long long k = 0; k < frames; ++k)
        block[k / kFloorBlock] += e[k];
    for (long long j = 0; j < blocks; ++j)
        block[j] /= double(std::min<long long>(kFloorBlock, frames - j * kFloorBlock));
    std::vector<double> perBlock(blocks), window;
    for (long long j = 0; j < blocks; ++j) {
        const long long from = std::max(0LL, j - kFloorReach), to = std::min(blocks, j + kFloorReach + 1);
        window.assign(block.begin() + from, block.begin() + to);
        const auto at = window.begin() + std::ptrdiff_t(kFloorQuantile * double(window.size()));
        std::nth_element(window.begin(), at, window.end());
        perBlock[j] = std::max(*at, kSilentFloor);
    }
    std::vector<double> floor(frames);
    for (long long k = 0; k < frames; ++k)
        floor[k] = perBlock[k / kFloorBlock];
    return floor;
}

}  // namespace

std::vector<SpeechOnsets::Utterance> SpeechOnsets::find(std::span<const std::int16_t> mono,
                                                        std::span<const float> echoLeft)
{
    std::vector<float> x(mono.size());
    std::transform(mono.begin(), mono.end(), x.begin(), [](std::int16_t s) { return float(s) / 32768.0f; });
    return find(std::span<const float>(x), echoLeft);
}

std::vector<SpeechOnsets::Utterance> SpeechOnsets::find(std::span<const float> mono, std::span<const float> echoLeft)
{
    const long long frames = (long long)mono.size() * 1000 / kRate;
    if (frames < kSmoothFrames)
        return {};
    const auto e = frameEnergies(mono, frames);
    // The floor under the rise; the detection's is over the echo's margin.
    std::array<std::vector<double>, kBands> floor, detectFloor;
    for (int b = 0; b < kBands; ++b)
        detectFloor[b] = floor[b] = floorOf(e[b]);
    if (echoLeft.size() >= mono.size()) {
        const double margin = std::pow(10.0, kEchoMarginDb / 10);
        for (long long k = 0; k < frames; ++k) {
            double sum = 0;
            for (long long i = frameStart(k); i < frameStart(k + 1); ++i)
                sum += echoLeft[i];
            const double echo = sum / double(frameStart(k + 1) - frameStart(k));
            for (int b = 0; b < kBands; ++b) {
                floor[b][k] += echo;
                detectFloor[b][k] += margin * echo;
            }
        }
    }

    const double detect = std::pow(10.0, kDetectDb / 10);
    const std::array<double, kBands> rise = {std::pow(10.0, kRiseDb / 10), std::pow(10.0, kRiseMidDb / 10),
                                             std::pow(10.0, kRiseHighDb / 10)};
    // risen: the 5 ms around the frame is over the floor; own: the frame itself is.
    std::vector<char> detected(frames, 0), risen(frames, 0), own(frames, 0);
    for (int b = 0; b < kBands; ++b) {
        double window = 0;
        for (long long k = 0; k < frames; ++k) {
            window += e[b][k] - (k >= kSmoothFrames ? e[b][k - kSmoothFrames] : 0.0);
            if (window / kSmoothFrames >= detect * detectFloor[b][k])
                detected[k] = 1;
            if (e[b][k] >= rise[b] * floor[b][k])
                own[k] = 1;
        }
        window = 0;
        for (long long k = -kRiseReach; k < frames; ++k) {
            if (k + kRiseReach < frames)
                window += e[b][k + kRiseReach];
            if (k - kRiseReach - 1 >= 0)
                window -= e[b][k - kRiseReach - 1];
            const long long from = std::max(0LL, k - kRiseReach), to = std::min(frames, k + kRiseReach + 1);
            if (k >= 0 && window / double(to - from) >= rise[b] * floor[b][k])
                risen[k] = 1;
        }
    }

    // Runs of detection: a long one is speech; a short one right after speech is the release of
    // a stop ("eight") and belongs to it; any other short one is a click.
    struct Run {
        long long from, to;  // 1 ms frames, detected
    };
    std::vector<Run> runs;
    for (long long k = 0; k < frames;) {
        if (!detected[k]) {
            ++k;
            continue;
        }
        long long to = k;
        while (to < frames && detected[to])
            ++to;
        const bool isLong = to - k >= kMinRunMs;
        if (!runs.empty() && k - runs.back().to <= kBridgeMs)
            runs.back().to = to;
        else if (isLong)
            runs.push_back({k, to});
        k = to;
    }

    std::vector<Utterance> found;
    long long previousEnd = 0;  // in frames
    for (std::size_t r = 0; r < runs.size(); ++r) {
        long long first = runs[r].from;
        for (long long k = first - 1, dips = 0; k >= std::max(previousEnd, runs[r].from - kRefineMaxFrames); --k) {
            if (risen[k]) {
                first = k;
                dips = 0;
            } else if (++dips > kGapFrames) {
                break;
            }
        }
        // The window sees a rise up to kRiseReach frames ahead: the onset is the first frame there
        // that has risen itself.
        for (const long long limit = std::min(first + kRiseReach, runs[r].from); first < limit && !own[first];)
            ++first;
        const long long nextStart = r + 1 < runs.size() ? runs[r + 1].from : frames;
        long long last = runs[r].to - 1;
        for (long long k = last + 1, dips = 0; k < std::min(nextStart, runs[r].to + kRefineMaxFrames); ++k) {
            if (risen[k]) {
                last = k;
                dips = 0;
            } else if (++dips > kGapFrames) {
                break;
            }
        }
        found.push_back({frameStart(first), frameStart(last + 1), frameStart(runs[r].from)});
        previousEnd = last + 1;
    }
    return found;
}
