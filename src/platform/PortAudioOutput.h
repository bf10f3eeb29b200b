#pragma once

#include "platform/OutputMoves.h"
#include "platform/SlipDetector.h"
#include "platform/PlacedOutput.h"

#include <cstdint>
#include <memory>
#include <optional>

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

// The program's one output stream: PortAudio on ALSA's "default" device (which reaches
// PulseAudio or PipeWire on a desktop), 44100 Hz, 16-bit stereo. It runs from open() (or the first
// start()) to close(), writing silence between sounds; while it is closed the program holds
// nothing on the sound server. A stream that has stopped (the sound server went away) is closed
// at the next start() and opened afresh; while it cannot be opened, start() fails at once and a
// new attempt is made every kRetryInterval, with the list of devices read anew (the sound server
// may have come up since).
//
// Timing: the stream's own frame count is its clock, and each sound goes where SoundPlacement
// puts it. Where the sound server inserts or drops frames behind the stream's back (an underrun),
// the times it gives for each buffer step apart from the frame count (SlipDetector): the map is
// moved by the slip. On PipeWire the stream fixes the graph's quantum while it plays: a change of
// quantum loses frames that the frame count has already counted, and a small one gives a busy
// machine deadlines it misses.
class PortAudioOutput final : public PlacedOutput {
public:
    // The process-wide stream. Never destroyed: the audio thread may still be reading the last
    // sound while static objects are torn down.
    static PortAudioOutput& instance();

    bool open() override;
    void close() override;
    bool start(const WaveImage& sound, SteadyTime due) override;
    void stop() override;
    std::vector<SoundFault> takeFaults() override;

    const SoundPlacement& placement() const override { return placement_; }
    double streamLatency() const override { return latency_; }

private:
    PortAudioOutput() = default;
    static int callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, unsigned long flags, void* self);
    void render(std::int16_t* out, unsigned long frames, double calledAt, double heardAt, bool underflowed);
    bool tryOpen();
    bool running();
    void closeStream();
    void noteMoves();

    bool initialized_ = false;
    PaStream* stream_ = nullptr;
    double latency_ = 0;
    std::optional<SteadyTime> failedAt_;
    std::int64_t renderedAtCheck_ = 0;
    SteadyTime checkedAt_{};
    SlipDetector slips_;  // the audio thread's own
    std::unique_ptr<OutputMoves> moves_;  // made as the stream first opens; none where it cannot be
    SoundPlacement placement_{kSampleRate, kChannels};
};
