#pragma once

#include "platform/SoundOutput.h"

#include <mutex>

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

// The program's one persistent output stream: PortAudio on ALSA's "default" device (which reaches
// PulseAudio or PipeWire on a desktop), 44100 Hz, 16-bit stereo. It is opened on first use and
// then runs for the life of the process, writing silence between sounds. When it cannot be
// opened, every start() fails and the next one tries again.
class PortAudioOutput final : public SoundOutput {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;

    // The process-wide stream. Never destroyed: the audio thread may still be reading the last
    // sound while static objects are torn down.
    static PortAudioOutput& instance();

    // Opens and starts the stream if it is not running; true when it runs.
    bool open();
    bool start(const WaveImage& sound) override;

private:
    PortAudioOutput() = default;
    static int callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, unsigned long flags, void* self);
    void render(std::int16_t* out, unsigned long frames);

    bool initialized_ = false;
    PaStream* stream_ = nullptr;

    // Guards the sound being played; held by the audio thread while it copies one buffer.
    std::mutex mutex_;
    const std::int16_t* samples_ = nullptr;
    std::size_t frames_ = 0;
    std::size_t position_ = 0;
};
