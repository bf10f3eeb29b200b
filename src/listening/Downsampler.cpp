#include "listening/Downsampler.h"

#include <speex/speex_resampler.h>

#include <algorithm>
#include <cstring>

namespace {

// Quality 5 of 10, the library's own choice for desktop sound (SPEEX_RESAMPLER_QUALITY_DESKTOP).
constexpr int kQuality = SPEEX_RESAMPLER_QUALITY_DESKTOP;

}  // namespace

Downsampler::Downsampler()
{
    int error = 0;
    resampler_ = speex_resampler_init(1, kFromRate, kToRate, kQuality, &error);
    speex_resampler_skip_zeros(resampler_);
}

Downsampler::~Downsampler() { speex_resampler_destroy(resampler_); }

std::vector<std::int16_t> Downsampler::process(std::span<const std::int16_t> mono)
{
    std::vector<std::int16_t> out(mono.size() * kToRate / kFromRate + 2);
    spx_uint32_t given = 0, made = 0;
    while (given < mono.size()) {
        spx_uint32_t inLength = spx_uint32_t(mono.size() - given);
        spx_uint32_t outLength = spx_uint32_t(out.size() - made);
        if (outLength == 0)
            out.resize(out.size() + 64), outLength = 64;
        speex_resampler_process_int(resampler_, 0, mono.data() + given, &inLength, out.data() + made, &outLength);
        given += inLength;
        made += outLength;
    }
    out.resize(made);
    in_ += (long long)mono.size();
    out_ += made;
    return out;
}

std::vector<std::int16_t> Downsampler::finish()
{
    // Silence pushes out what the filter holds, up to the output the input fed stands for.
    const long long due = in_ * kToRate / kFromRate, given = out_;
    const std::vector<std::int16_t> silence(std::size_t(speex_resampler_get_input_latency(resampler_)) + 1, 0);
    std::vector<std::int16_t> out = process(silence);
    out.resize(std::size_t(std::max(0LL, due - given)));
    speex_resampler_reset_mem(resampler_);
    speex_resampler_skip_zeros(resampler_);
    in_ = out_ = 0;
    return out;
}

std::vector<std::int16_t> Downsampler::downsample(std::span<const std::int16_t> mono)
{
    Downsampler d;
    std::vector<std::int16_t> out = d.process(mono);
    const std::vector<std::int16_t> rest = d.finish();
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

std::vector<std::int16_t> Downsampler::monoOf(const QByteArray& stereo16)
{
    const std::size_t frames = std::size_t(stereo16.size()) / 4;
    std::vector<std::int16_t> interleaved(frames * 2);
    std::memcpy(interleaved.data(), stereo16.constData(), frames * 4);
    std::vector<std::int16_t> mono(frames);
    for (std::size_t i = 0; i < frames; ++i)
        mono[i] = std::int16_t((int(interleaved[2 * i]) + int(interleaved[2 * i + 1])) / 2);
    return mono;
}
