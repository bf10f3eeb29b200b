#include "RoomSimulation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// Mono float of the stereo recording's left channel, and back.
std::vector<float> left(const QByteArray& stereo16)
{
    const auto* s = reinterpret_cast<const std::int16_t*>(stereo16.constData());
    std::vector<float> x(std::size_t(stereo16.size() / 4));
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = s[2 * i];
    return x;
}

QByteArray stereo(const std::vector<float>& x)
{
    QByteArray out(qsizetype(x.size()) * 4, '\0');
    auto* s = reinterpret_cast<std::int16_t*>(out.data());
    for (std::size_t i = 0; i < x.size(); ++i)
        s[2 * i] = s[2 * i + 1] = std::int16_t(std::clamp(x[i], -32768.0f, 32767.0f));
    return out;
}

}  // namespace

QByteArray inRoom(const QByteArray& stereo16, double rt60, double snrDb, double gain, unsigned seed)
{
    std::mt19937 random(seed);
    const std::vector<float> dry = left(stereo16);
    std::vector<float> wet(dry.size());
    for (std::size_t i = 0; i < dry.size(); ++i)
        wet[i] = float(dry[i] * gain);
    if (rt60 > 0) {  // a sparse tail: one reflection every 2 ms, decaying by 60 dB over rt60
        std::normal_distribution<double> tap(0, 0.35);
        const std::size_t step = 88, length = std::size_t(rt60 * 44100);
        std::vector<float> out = wet;
        for (std::size_t lag = step; lag < length; lag += step) {
            const float g = float(tap(random) * std::pow(10.0, -3.0 * double(lag) / double(length)));
            for (std::size_t i = lag; i < wet.size(); ++i)
                out[i] += g * wet[i - lag];
        }
        wet = out;
    }
    double speech = 0;
    std::size_t loud = 0;
    for (float v : wet)
        if (std::fabs(v) > 100) {
            speech += double(v) * v;
            ++loud;
        }
    const double rms = std::sqrt(speech / double(std::max<std::size_t>(loud, 1)));
    if (std::isfinite(snrDb)) {
        std::normal_distribution<double> noise(0, rms * std::pow(10.0, -snrDb / 20));
        for (float& v : wet)
            v += float(noise(random));
    }
    return stereo(wet);
}
