#include "SyntheticTake.h"

#include "resources/ResourceBytes.h"
#include "sound/WaveImage.h"

#include <algorithm>
#include <cstdint>
#include <random>

SyntheticTake syntheticTake(std::span<const int> digits, int paceMs, const TakeConditions& c)
{
    const double pace = 44.1 * paceMs * (1 + c.clockPpm * 1e-6);
    const double gain = std::pow(10.0, c.levelDb / 20);
    SyntheticTake take;
    std::vector<float> mix(std::size_t(std::llround((double(digits.size()) + 2) * pace)) * 2, 0.0f);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        long long onset = std::llround(double(i + 1) * pace);
        for (const auto& [place, frames] : c.late)
            if (place == int(i))
                onset += frames;
        take.onsets.push_back(onset);
        const QByteArray bytes = resourceBytes(QStringLiteral("WAVE"), digits[i]);
        WaveImage wave;
        if (!WaveImage::parse(bytes.constData(), std::size_t(bytes.size()), wave) || wave.channels != 2)
            continue;
        for (std::size_t s = 0; s < 2 * wave.frames && 2 * std::size_t(onset) + s < mix.size(); ++s)
            mix[2 * std::size_t(onset) + s] += float(gain * wave.samples[s]);
    }
    std::mt19937 random(c.seed);
    std::normal_distribution<double> noise(0, 32768 * std::pow(10.0, c.noiseDbfs / 20));
    take.sound.resize(qsizetype(mix.size()) * 2);
    auto* out = reinterpret_cast<std::int16_t*>(take.sound.data());
    for (std::size_t s = 0; s < mix.size(); s += 2) {
        const double n = std::isfinite(c.noiseDbfs) ? noise(random) : 0;  // the same in both channels, as a mono microphone
        for (std::size_t ch = 0; ch < 2; ++ch)
            out[s + ch] = std::int16_t(std::clamp(c.floored ? long(std::floor(mix[s + ch] + n)) : std::lround(mix[s + ch] + n), -32768L, 32767L));
    }
    return take;
}
