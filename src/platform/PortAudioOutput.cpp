#include "platform/PortAudioOutput.h"

#include "platform/AlsaMessages.h"
#include "platform/QuietStderr.h"

#include <portaudio.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned long kFramesPerBuffer = 256;
constexpr double kSuggestedLatency = 0.05;

// ALSA's "default" device: the user's sound server on a desktop.
PaDeviceIndex alsaDefaultDevice()
{
    const PaHostApiIndex api = Pa_HostApiTypeIdToHostApiIndex(paALSA);
    if (api < 0)
        return paNoDevice;
    const PaHostApiInfo* info = Pa_GetHostApiInfo(api);
    for (int i = 0; i < info->deviceCount; ++i) {
        const PaDeviceIndex device = Pa_HostApiDeviceIndexToDeviceIndex(api, i);
        const PaDeviceInfo* d = Pa_GetDeviceInfo(device);
        if (d && d->maxOutputChannels > 0 && std::strcmp(d->name, "default") == 0)
            return device;
    }
    return info->defaultOutputDevice;
}

}  // namespace

PortAudioOutput& PortAudioOutput::instance()
{
    static auto* output = new PortAudioOutput;
    return *output;
}

bool PortAudioOutput::open()
{
    if (stream_)
        return true;
    // PortAudio probes every host API it was built with; their complaints are not ours to show.
    QuietStderr quiet;
    if (!initialized_) {
        silenceAlsaMessages();
        if (Pa_Initialize() != paNoError)
            return false;
        initialized_ = true;
    }
    PaStreamParameters params{};
    params.device = alsaDefaultDevice();
    if (params.device == paNoDevice)
        return false;
    params.channelCount = kChannels;
    params.sampleFormat = paInt16;
    params.suggestedLatency = kSuggestedLatency;
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, nullptr, &params, kSampleRate, kFramesPerBuffer, paNoFlag,
                      &PortAudioOutput::callback, this)
        != paNoError)
        return false;
    if (Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        return false;
    }
    stream_ = stream;
    return true;
}

bool PortAudioOutput::start(const WaveImage& sound)
{
    if (sound.channels != kChannels || sound.sampleRate != kSampleRate || !open())
        return false;
    std::lock_guard lock(mutex_);
    samples_ = sound.samples;
    frames_ = sound.frames;
    position_ = 0;
    return true;
}

int PortAudioOutput::callback(const void*, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo*, unsigned long, void* self)
{
    static_cast<PortAudioOutput*>(self)->render(static_cast<std::int16_t*>(output), frames);
    return paContinue;
}

void PortAudioOutput::render(std::int16_t* out, unsigned long frames)
{
    std::lock_guard lock(mutex_);
    const std::size_t n = std::min<std::size_t>(frames, frames_ - position_);
    if (n > 0)
        std::memcpy(out, samples_ + position_ * kChannels, n * kChannels * sizeof(std::int16_t));
    std::memset(out + n * kChannels, 0, (frames - n) * kChannels * sizeof(std::int16_t));
    position_ += n;
}
