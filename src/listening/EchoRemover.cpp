#include "listening/EchoRemover.h"

#include <speex/speex_echo.h>
#include <speex/speex_preprocess.h>

#include <algorithm>

namespace {

// The preprocessor suppresses noise too; only its suppression of the echo is wanted.
constexpr int kNoiseSuppressDb = -1;
// The coupling is the ninth decile of the last 64 frames (about 0.7 s of digits at 512 samples):
// the canceller leaves some sounds of a digit louder than others, and the examinee's answers,
// which now and then overlap a digit's end, are a tenth of those frames at most.
constexpr std::size_t kCouplings = 64;
constexpr double kCouplingQuantile = 0.9;
// The room's noise in the output: the lowest fifth of its last 256 frames (3 s at 512 samples)
// where no echo can be.
constexpr std::size_t kQuietFrames = 256;
constexpr double kNoiseQuantile = 0.2;
// A frame whose reference is under this (-70 dBFS) tells nothing of the coupling.
constexpr double kSounding = 1e-7;

}  // namespace

EchoRemover::EchoRemover(const Settings& settings) : settings_(settings)
{
    echo_ = speex_echo_state_init(settings_.frameSize, settings_.tailSamples);
    int rate = settings_.rate;
    speex_echo_ctl(echo_, SPEEX_ECHO_SET_SAMPLING_RATE, &rate);
    if (settings_.suppressResidual) {
        preprocess_ = speex_preprocess_state_init(settings_.frameSize, settings_.rate);
        int on = 1, off = 0, noise = kNoiseSuppressDb, echo = settings_.echoSuppressDb, active = settings_.echoSuppressActiveDb;
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

EchoRemover::Cleaned EchoRemover::process(std::span<const std::int16_t> microphone,
                                          std::span<const std::int16_t> reference)
{
    const std::size_t n = std::min(microphone.size(), reference.size());
    microphone_.insert(microphone_.end(), microphone.begin(), microphone.begin() + std::ptrdiff_t(n));
    reference_.insert(reference_.end(), reference.begin(), reference.begin() + std::ptrdiff_t(n));
    Cleaned out;
    cleanWholeFrames(out);
    return out;
}

EchoRemover::Cleaned EchoRemover::finish()
{
    const std::size_t rest = microphone_.size();
    Cleaned out;
    if (rest > 0) {
        microphone_.resize(settings_.frameSize, 0);
        reference_.resize(settings_.frameSize, 0);
        cleanWholeFrames(out);
        out.sound.resize(rest);
        out.echoLeft.resize(rest);
    }
    speex_echo_state_reset(echo_);
    referenceLevels_.clear();
    couplings_.clear();
    quiet_.clear();
    return out;
}

void EchoRemover::cleanWholeFrames(Cleaned& out)
{
    const std::size_t frame = std::size_t(settings_.frameSize);
    std::size_t done = 0;
    for (; done + frame <= microphone_.size(); done += frame) {
        const std::size_t at = out.sound.size();
        out.sound.resize(at + frame);
        std::int16_t* cleaned = out.sound.data() + at;
        speex_echo_cancellation(echo_, microphone_.data() + done, reference_.data() + done, cleaned);
        if (preprocess_)
            speex_preprocess_run(preprocess_, cleaned);
        const float left = echoLeftIn({reference_.data() + done, frame}, {cleaned, frame});
        out.echoLeft.resize(at + frame, left);
    }
    microphone_.erase(microphone_.begin(), microphone_.begin() + std::ptrdiff_t(done));
    reference_.erase(reference_.begin(), reference_.begin() + std::ptrdiff_t(done));
}

float EchoRemover::echoLeftIn(std::span<const std::int16_t> reference, std::span<const std::int16_t> cleaned)
{
    const auto meanSquare = [](std::span<const std::int16_t> x) {
        double sum = 0;
        for (std::int16_t s : x)
            sum += double(s) * s;
        return sum / double(x.size()) / (32768.0 * 32768.0);
    };
    const double now = meanSquare(reference);
    referenceLevels_.push_back(now);
    const std::size_t tailFrames = std::size_t(settings_.tailSamples / settings_.frameSize) + 1;
    while (referenceLevels_.size() > tailFrames)
        referenceLevels_.pop_front();
    const double recent = *std::max_element(referenceLevels_.begin(), referenceLevels_.end());
    const double out = meanSquare(cleaned);
    if (recent < kSounding) {
        quiet_.push_back(out);
        if (quiet_.size() > kQuietFrames)
            quiet_.pop_front();
        return 0;
    }
    if (now >= kSounding) {
        // What the room's noise adds to the output is no echo.
        double noise = 0;
        if (!quiet_.empty()) {
            std::vector<double> sorted(quiet_.begin(), quiet_.end());
            const auto at = sorted.begin() + std::ptrdiff_t(double(sorted.size()) * kNoiseQuantile);
            std::nth_element(sorted.begin(), at, sorted.end());
            noise = *at;
        }
        couplings_.push_back(std::max(out - noise, 0.0) / recent);
        if (couplings_.size() > kCouplings)
            couplings_.pop_front();
    }
    // Until the canceller has been heard at work, all of the echo may be left.
    double coupling = 1;
    if (!couplings_.empty()) {
        std::vector<double> sorted(couplings_.begin(), couplings_.end());
        const std::size_t at = std::min(sorted.size() - 1, std::size_t(double(sorted.size()) * kCouplingQuantile));
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(at), sorted.end());
        coupling = sorted[at];
    }
    return float(coupling * recent);
}
