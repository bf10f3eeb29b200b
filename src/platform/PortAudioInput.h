#pragma once

#include "platform/SoundRecorder.h"

#include <atomic>
#include <vector>

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

// Records through ALSA's "default" device with PortAudio, as the output plays through it. The
// default output's monitor is asked for through what PulseAudio's and PipeWire's ALSA plugins
// read when a stream opens (the default source, and whether to capture a sink).
class PortAudioInput final : public SoundRecorder {
public:
    PortAudioInput() = default;
    ~PortAudioInput() override;
    PortAudioInput(const PortAudioInput&) = delete;
    PortAudioInput& operator=(const PortAudioInput&) = delete;

    bool start(Source source) override;
    QByteArray stop() override;

private:
    static int callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, unsigned long flags, void* self);

    PaStream* stream_ = nullptr;
    bool initialized_ = false;
    std::vector<std::int16_t> samples_;  // allocated before the stream runs
    std::atomic<std::size_t> recorded_{0};  // samples written so far
};
