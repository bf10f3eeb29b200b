#pragma once

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

// What a room does to sound played in it, and the noise in it, for the measurements of
// listening, at 44.1 kHz.
namespace SyntheticRoom {

inline void add(std::vector<float>& track, const std::vector<float>& sound, long long at, float gain = 1)
{
    for (std::size_t i = 0; i < sound.size() && at + (long long)i < (long long)track.size(); ++i)
        if (at + (long long)i >= 0)
            track[at + i] += gain * sound[i];
}

// The digits from the speakers at the microphone: `delay` frames late, low-passed at 2.5 kHz
// (the speaker and the walls take the top off), with two reflections 7 and 19 ms after.
inline std::vector<float> throughRoom(const std::vector<float>& x, long long delay)
{
    std::vector<float> lowPassed(x.size());
    const float a = float(std::exp(-2 * std::numbers::pi * 2500.0 / 44100));
    float y = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        lowPassed[i] = y = (1 - a) * x[i] + a * y;
    std::vector<float> out(x.size(), 0.0f);
    add(out, lowPassed, delay, 1.0f);
    add(out, lowPassed, delay + 44100 * 7 / 1000, -0.5f);
    add(out, lowPassed, delay + 44100 * 19 / 1000, 0.3f);
    return out;
}

// Pink noise at `rms`: white noise through Kellet's three-pole filter.
inline std::vector<float> pinkNoise(std::size_t n, double rms, std::mt19937& random)
{
    std::normal_distribution<float> white;
    std::vector<float> x(n);
    float b0 = 0, b1 = 0, b2 = 0;
    double e = 0;
    for (float& s : x) {
        const float w = white(random);
        b0 = 0.99765f * b0 + w * 0.0990460f;
        b1 = 0.96300f * b1 + w * 0.2965164f;
        b2 = 0.57000f * b2 + w * 1.0526913f;
        s = b0 + b1 + b2 + w * 0.1848f;
        e += double(s) * s;
    }
    const float gain = float(rms / std::sqrt(e / double(n)));
    for (float& s : x)
        s *= gain;
    return x;
}

}  // namespace SyntheticRoom
