#include "listening/AnswerDecision.h"

#include "listening/AnswerRecogniser.h"
#include "listening/Downsampler.h"
#include "listening/SpeechOnsets.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kEchoLikeness = 0.3;

// Heard from a little before its onset, to let the recogniser hear the silence it starts from.
constexpr long long kLeadFrames = 44100 / 20;

// Whether an utterance is what is left of the program's own digit: it begins within
// kMostEchoDelay of a digit leaving the speakers, and its first kCompared frames are, at some
// delay up to kMostEchoDelay, much like what left the speakers, as an echo is (a copy through
// the room) and an examinee's voice speaking over a digit is not. It covers what the echo
// remover has not learnt yet of the room (at the start of a run) and lets through what it left.
bool isEcho(const AnswerDecision::Stretch& stretch, long long begin, long long end)
{
    constexpr long long kMostEchoDelay = 44100 / 8, kCompared = 44100 * 3 / 20;
    const std::span<const std::int16_t> heard = stretch.cleaned, sent = stretch.reference;
    const bool withADigit = std::any_of(stretch.digits.begin(), stretch.digits.end(), [&](long long digit) {
        return stretch.first + begin >= digit && stretch.first + begin < digit + kMostEchoDelay;
    });
    const long long length = std::min(kCompared, end - begin);
    if (!withADigit || length <= 0 || begin + length > (long long)(sent.size()))
        return false;
    double heardEnergy = 0;
    for (long long i = begin; i < begin + length; ++i)
        heardEnergy += double(heard[std::size_t(i)]) * heard[std::size_t(i)];
    for (long long lag = 0; lag <= std::min(kMostEchoDelay, begin); ++lag) {
        double both = 0, sentEnergy = 0;
        for (long long i = begin; i < begin + length; ++i) {
            const double from = sent[std::size_t(i - lag)];
            both += heard[std::size_t(i)] * from;
            sentEnergy += from * from;
        }
        if (sentEnergy > 0 && heardEnergy > 0 && std::abs(both) / std::sqrt(sentEnergy * heardEnergy) > kEchoLikeness)
            return true;
    }
    return false;
}

}  // namespace

AnswerDecision AnswerDecision::decide(const Stretch& stretch, AnswerRecogniser& recogniser)
{
    AnswerDecision decision;
    decision.voice.confidence = 1;
    const long long size = (long long)(stretch.cleaned.size());
    for (const SpeechOnsets::Utterance& utterance : SpeechOnsets::find(stretch.cleaned, stretch.echoLeft)) {
        const long long onset = stretch.first + utterance.begin;
        if (onset < stretch.from || onset >= stretch.to)
            continue;
        if (isEcho(stretch, utterance.begin, utterance.end))
            continue;
        const long long begin = std::max(0LL, utterance.begin - kLeadFrames), end = std::min(size, utterance.end + kLeadFrames);
        const std::vector<std::int16_t> sixteen = Downsampler::downsample(stretch.cleaned.subspan(std::size_t(begin), std::size_t(end - begin)));
        const AnswerRecogniser::Heard heard = recogniser.hear(sixteen);
        if (heard.sums.empty()) {
            decision.voice.somethingSaid = true;
            if (!decision.voice.heard)  // how sure it is that no sum was said
                decision.voice.confidence = std::min(decision.voice.confidence, heard.confidence);
            continue;
        }
        if (decision.voice.heard || heard.sums.size() > 1)
            decision.voice.selfCorrection = true;
        if (!decision.voice.heard) {
            decision.onset = onset;
            decision.voice.latencyMs = double(onset - stretch.secondHeard) * 1000.0 / SpeechOnsets::kRate;
        }
        decision.voice.heard = heard.sums.back();
        decision.voice.confidence = heard.confidence;
    }
    // Speech that was no sum may be a sum the recogniser could not make out: a second look.
    decision.voice.unsure = decision.voice.confidence < kSureFrom || (decision.voice.somethingSaid && !decision.voice.heard);
    return decision;
}
