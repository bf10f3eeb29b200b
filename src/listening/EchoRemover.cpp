#include "listening/EchoRemover.h"

#include <speex/speex_echo.h>
#include <speex/speex_preprocess.h>

#include <algorithm>

namespace {

// The preprocessor suppresses noise too; only its suppression of the echo is wanted.
constexpr int kNoiseSuppressDb = -1;
constexpr int kEchoSuppressDb = -40;        // while only the far end sounds
constexpr int kEchoSuppressActiveDb = -15;  // while the examinee speaks over it

}  // namespace

EchoRemover::EchoRemover(const Settings& settings) : settings_(settings)
{
    echo_ = speex_echo_state_init(settings_.frameSize, settings_.tailSamples);
    int rate = settings_.rate;
    speex_echo_ctl(echo_, SPEEX_ECHO_SET_SAMPLING_RATE, &rate);
    if (settings_.suppressResidual) {
        preprocess_ = speex_preprocess_state_init(settings_.frameSize, settings_.rate);
        int on = 1, off = 0, noise = kNoiseSuppressDb, echo = kEchoSuppressDb, active = kEchoSuppressActiveDb;
        speex_preprocess_ctl(preprocess_, SPEEX_PREPROCESS_SET_DENOISE, &on);
        speex_preprocess_ctl(preprocess_, SPEEX_PREPROCESS_SET_NOISE_SUPPRESS, &noise);
        speex_preprocess_ctl(preprocess_, SPEEX_PREPROCESS_SET_AGC, &off);
        speex_preprocess_ctl(preprocess_, SPEEX_PREPROCESS_SET_DEREVERB, &off);
        speex_preprocess_ctl(preprocess_, SPEEX_PREPROCESS_SET_ECHO_STATE, echo_);
        speex_preprocess_ctl(preprocess_, SPEEX_PREPROCESS_SET_ECHO_SUPPRESS, &echo);
        speex_preprocess_ctl(preprocess_, SPEEX_PREPROCESS_SET_ECHO_SUPPRESS_ACTIVE, &active);
    }
}

EchoRemover::~EchoRemover()
{
    if (preprocess_)
        speex_preprocess_state_destroy(preprocess_);
    speex_echo_state_destroy(echo_);
}

std::vector<std::int16_t> EchoRemover::process(std::span<const std::int16_t> microphone,
                                               std::span<const std::int16_t> reference)
{
    const std::size_t n = std::min(microphone.size(), reference.size());
    microphone_.insert(microphone_.end(), microphone.begin(), microphone.begin() + std::ptrdiff_t(n));
    reference_.insert(reference_.end(), reference.begin(), reference.begin() + std::ptrdiff_t(n));
    std::vector<std::int16_t> out;
    out.reserve(microphone_.size());
    cleanWholeFrames(out);
    return out;
}

std::vector<std::int16_t> EchoRemover::finish()
{
    const std::size_t rest = microphone_.size();
    std::vector<std::int16_t> out;
    if (rest > 0) {
        microphone_.resize(settings_.frameSize, 0);
        reference_.resize(settings_.frameSize, 0);
        cleanWholeFrames(out);
        out.resize(rest);
    }
    speex_echo_state_reset(echo_);
    return out;
}

void EchoRemover::cleanWholeFrames(std::vector<std::int16_t>& out)
{
    const std::size_t frame = std::size_t(settings_.frameSize);
    std::size_t done = 0;
    for (; done + frame <= microphone_.size(); done += frame) {
        const std::size_t at = out.size();
        out.resize(at + frame);
        speex_echo_cancellation(echo_, microphone_.data() + done, reference_.data() + done, out.data() + at);
        if (preprocess_)
            speex_preprocess_run(preprocess_, out.data() + at);
    }
    microphone_.erase(microphone_.begin(), microphone_.begin() + std::ptrdiff_t(done));
    reference_.erase(reference_.begin(), reference_.begin() + std::ptrdiff_t(done));
}
