#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct SpeexEchoState_;
struct SpeexPreprocessState_;

// Takes the program's own digits out of the microphone's recording, with an adaptive echo
// canceller: fed the microphone and the reference (what left the speakers, laid on the
// microphone's frames to within some tens of ms; the room's delay and colouring are learnt), it
// gives the microphone's sound without them. What the room adds after the direct sound is
// learnt for a tail of tailSamples; the preprocessor then suppresses the echo that is left
// (its noise suppression kept weak, so that the onset of a soft fricative is not taken away).
//
// Mono 16-bit at `rate`; the output is delayed by nothing, but comes a whole frame at a time.
class EchoRemover {
public:
    struct Settings {
        int rate = 44100;
        int frameSize = 1024;      // 23 ms (a power of two keeps the transforms quick)
        int tailSamples = 11025;   // 250 ms
        bool suppressResidual = true;
    };

    explicit EchoRemover(const Settings& settings);
    EchoRemover() : EchoRemover(Settings{}) {}
    ~EchoRemover();
    EchoRemover(const EchoRemover&) = delete;
    EchoRemover& operator=(const EchoRemover&) = delete;

    // Feeds the next block of both (of the same length) and returns the frames cleaned so far
    // that have not been returned yet: every whole frame; the rest waits for the next block.
    std::vector<std::int16_t> process(std::span<const std::int16_t> microphone,
                                      std::span<const std::int16_t> reference);
    // The rest, cleaned (as if silence followed); then it starts learning again.
    std::vector<std::int16_t> finish();

    const Settings& settings() const { return settings_; }

private:
    void cleanWholeFrames(std::vector<std::int16_t>& out);

    Settings settings_;
    SpeexEchoState_* echo_ = nullptr;
    SpeexPreprocessState_* preprocess_ = nullptr;
    std::vector<std::int16_t> microphone_, reference_;  // less than a frame waiting
};
