#pragma once

#include "sound/SlipDetector.h"
#include "sound/portaudio/PortAudioSession.h"
#include "sound/PlacedOutput.h"
#include "sound/SoundRoute.h"

#include <cstdint>
#include <memory>

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

// The output through PortAudio on ALSA's "default" device (which reaches PulseAudio or PipeWire
// on a desktop). While its stream cannot be opened, the list of devices is read anew at each
// attempt (the sound server may have come up since).
//
// Timing: the stream's own frame count is its clock, and each sound goes where SoundPlacement
// puts it. Where the sound server inserts or drops frames behind the stream's back (an underrun),
// the times it gives for each buffer step apart from the frame count (SlipDetector): the map is
// moved by the slip. On PipeWire the stream fixes the graph's quantum while it plays: a change of
// quantum loses frames that the frame count has already counted, and a small one gives a busy
// machine deadlines it misses. How the stream is laid out follows `route`'s last decision.
class PortAudioOutput final : public PlacedOutput {
public:
    explicit PortAudioOutput(const SoundRoute& route);

    double streamLatency() const override { return latency_; }
    bool hasStream() const override { return stream_ != nullptr; }

protected:
    bool tryOpen() override;
    bool streaming() const override;
    void closeStream() override;

private:
    static int callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, unsigned long flags, void* data);
    void render(std::int16_t* out, unsigned long frames, double calledAt, double heardAt, bool underflowed);

    const SoundRoute& route_;
    PaStream* stream_ = nullptr;
    double latency_ = 0;
    SlipDetector slips_;  // the audio thread's own
    std::int64_t slipGrain_ = 0;  // the layout's, for the slips it tells of
    PortAudioSession session_;  // last: its end stops the stream before what the stream uses
};
