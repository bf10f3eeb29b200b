#pragma once

#include "sound/CaptureTake.h"
#include "sound/portaudio/PortAudioSession.h"
#include "sound/SoundRecorder.h"

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

// Records through ALSA's "default" device with PortAudio, as the output plays through it. The
// default output's monitor is asked for through what PulseAudio's and PipeWire's ALSA plugins
// read when a stream opens (the default source, and whether to capture a sink). From the
// microphone it records the monitor alongside, placed by the plugins' time reports: through
// PulseAudio's plugin, two streams' reports agree to a few hundredths of a millisecond (on
// PulseAudio itself; PipeWire's service is recorded natively, see PipeWireInput); through
// PipeWire's own plugin they can be several milliseconds apart, and the offset is left unknown.
class PortAudioInput final : public SoundRecorder {
public:
    PortAudioInput() = default;
    ~PortAudioInput() override;
    PortAudioInput(const PortAudioInput&) = delete;
    PortAudioInput& operator=(const PortAudioInput&) = delete;

    bool start(Source source) override;
    Recording stop() override;
    QByteArray recordedFrom(qsizetype frame) const override;

private:
    static int callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, unsigned long flags, void* take);
    PaStream* open(bool monitor, CaptureTake& take);

    PaStream* sound_ = nullptr;
    PaStream* speakers_ = nullptr;
    PortAudioSession session_;
    CaptureTake soundTake_;
    CaptureTake speakersTake_;
};
