#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

struct SpeexEchoState_;
struct SpeexPreprocessState_;

// Takes the program's own digits out of the microphone's recording, with an adaptive echo
// canceller: fed the microphone and the reference (what left the speakers, on the microphone's
// frames), it gives the microphone's sound without them. The room's delay and colouring are
// learnt over a tail of tailSamples; the reference must therefore come no later than its echo,
// and no more than the tail minus the room's reverberation earlier. The preprocessor may then
// suppress part of the echo that is left (its noise suppression kept weak, so that the onset of
// a soft fricative is not taken away); it is off by default, for it holds its output back by a
// frame and gains 4 dB only (bench/listening_onsets measures both).
//
// The canceller learns only while digits sound, and is far from perfect on the first few, so
// the echo it leaves is estimated too: the reference's level over the last tail, times the
// coupling from reference to output seen lately (the ninth decile of recent frames where the
// reference sounded, less the room's noise).
//
// Mono 16-bit at `rate` (44100 Hz measures as well as 16000 Hz, so nothing is resampled); the
// canceller delays nothing, but its output comes a whole frame at a time. Its notch under 50 Hz
// turns the phase of the lowest tones a little.
class EchoRemover {
public:
    struct Settings {
        int rate = 44100;
        int frameSize = 512;            // 11.6 ms: a power of two keeps the transforms quick
        int tailSamples = 11025;        // 250 ms
        bool suppressResidual = false;  // the preprocessor's, one frame late
        int echoSuppressDb = -40;        // the residual echo's suppression while only the far end sounds
        int echoSuppressActiveDb = -15;  // and while the examinee speaks over it
    };

    struct Cleaned {
        std::vector<std::int16_t> sound;
        // Per sample: the mean square (full scale 1) of the echo that may be left in it.
        std::vector<float> echoLeft;
    };

    explicit EchoRemover(const Settings& settings);
    EchoRemover() : EchoRemover(Settings{}) {}
    ~EchoRemover();
    EchoRemover(const EchoRemover&) = delete;
    EchoRemover& operator=(const EchoRemover&) = delete;

    // Feeds the next block of both (of the same length) and returns the frames cleaned so far
    // that have not been returned yet: every whole frame; the rest waits for the next block.
    Cleaned process(std::span<const std::int16_t> microphone, std::span<const std::int16_t> reference);
    // The rest, cleaned (as if silence followed); then it starts learning again.
    Cleaned finish();

    const Settings& settings() const { return settings_; }

    // Another recording follows in the same room: what it learnt of the room is kept, the part
    // of a frame still waiting is dropped.
    void startAnew()
    {
        microphone_.clear();
        reference_.clear();
    }

private:
    void cleanWholeFrames(Cleaned& out);
    float echoLeftIn(std::span<const std::int16_t> reference, std::span<const std::int16_t> cleaned);

    Settings settings_;
    SpeexEchoState_* echo_ = nullptr;
    SpeexPreprocessState_* preprocess_ = nullptr;
    std::vector<std::int16_t> microphone_, reference_;  // less than a frame waiting
    std::deque<double> referenceLevels_;  // the reference's mean square in the frames of the last tail
    std::deque<double> couplings_;        // output over reference, in recent frames where it sounded
    std::deque<double> quiet_;            // the output's mean square in recent frames of no echo
};
