#pragma once

#include <QByteArray>

#include <cstdint>
#include <span>
#include <vector>

struct SpeexResamplerState_;

// Brings the recording to what the recogniser hears: from 44100 Hz to 16000 Hz, 16-bit mono.
// The resampler's own delay is taken out, so that sample i of the output lies at i / 16000 s of
// the input, as sample i * 44100 / 16000 of it would.
class Downsampler {
public:
    static constexpr int kFromRate = 44100;
    static constexpr int kToRate = 16000;

    Downsampler();
    ~Downsampler();
    Downsampler(const Downsampler&) = delete;
    Downsampler& operator=(const Downsampler&) = delete;

    // The next block; returns as much of the output as it determines.
    std::vector<std::int16_t> process(std::span<const std::int16_t> mono);
    // The output's last samples, held back by the filter (as if silence followed).
    std::vector<std::int16_t> finish();

    // A whole stretch at once.
    static std::vector<std::int16_t> downsample(std::span<const std::int16_t> mono);
    // The mean of both channels of a recording (interleaved 16-bit stereo).
    static std::vector<std::int16_t> monoOf(const QByteArray& stereo16);

private:
    SpeexResamplerState_* resampler_ = nullptr;
    long long in_ = 0, out_ = 0;  // samples fed and given
};
