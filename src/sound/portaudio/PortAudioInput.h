#pragma once

#include "sound/CaptureTake.h"
#include "sound/portaudio/PortAudioSession.h"
#include "sound/SoundRecorder.h"
#include "sound/SoundRoute.h"

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

// Records through ALSA's "default" device with PortAudio, as the output plays through it. The
// default output's monitor is asked for through what PulseAudio's and PipeWire's ALSA plugins
// read when a stream opens (the default source, and whether to capture a sink). From the
// microphone it records the monitor alongside, placed by the plugins' time reports: through
// PulseAudio's plugin, two streams' reports agree to a few hundredths of a millisecond (on
// PulseAudio itself; PipeWire's service is recorded natively, see PipeWireInput); through
// PipeWire's own plugin they can be several milliseconds apart, and the offset is left unknown.
// Which plugin that is, `route`'s last decision tells.
class PortAudioInput final : public SoundRecorder {
public:
    explicit PortAudioInput(const SoundRoute& route) : route_(route) {}
    ~PortAudioInput() override;
    PortAudioInput(const PortAudioInput&) = delete;
    PortAudioInput& operator=(const PortAudioInput&) = delete;

    bool start(Source source) override;
    Recording stop() override;
    QByteArray recordedFrom(qsizetype frame) const override;
    std::optional<SteadyTime> firstFrameCaptured() const override;

private:
    // One stream and what it has recorded; its callback's data.
    struct Capture {
        PaStream* stream = nullptr;
        CaptureTake take;
    };

    static int callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, unsigned long flags, void* data);
    // Opens and starts `capture`'s stream; false, with nothing open, where it cannot be.
    static bool open(bool monitor, Capture& capture);

    const SoundRoute& route_;
    PortAudioSession session_;
    Capture sound_;
    Capture speakers_;  // from the microphone: the monitor beside it
};
