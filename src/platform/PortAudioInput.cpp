#include "platform/PortAudioInput.h"

#include "platform/AlsaMessages.h"
#include "platform/QuietStderr.h"

#include <portaudio.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

PaDeviceIndex alsaDefaultInput()
{
    const PaHostApiIndex api = Pa_HostApiTypeIdToHostApiIndex(paALSA);
    if (api < 0)
        return paNoDevice;
    const PaHostApiInfo* info = Pa_GetHostApiInfo(api);
    for (int i = 0; i < info->deviceCount; ++i) {
        const PaDeviceIndex device = Pa_HostApiDeviceIndexToDeviceIndex(api, i);
        const PaDeviceInfo* d = Pa_GetDeviceInfo(device);
        if (d && d->maxInputChannels > 0 && std::strcmp(d->name, "default") == 0)
            return device;
    }
    return info->defaultInputDevice;
}

// Set while the stream opens, where the user has not set them: the plugins read them then.
class MonitorChoice {
public:
    explicit MonitorChoice(bool monitor)
        : pulse_(monitor && set("PULSE_SOURCE", "@DEFAULT_MONITOR@")),
          pipewire_(monitor && set("PIPEWIRE_PROPS", "{ stream.capture.sink = true }")) {}
    ~MonitorChoice()
    {
        if (pulse_)
            ::unsetenv("PULSE_SOURCE");
        if (pipewire_)
            ::unsetenv("PIPEWIRE_PROPS");
    }
    MonitorChoice(const MonitorChoice&) = delete;
    MonitorChoice& operator=(const MonitorChoice&) = delete;

private:
    static bool set(const char* name, const char* value) { return !std::getenv(name) && ::setenv(name, value, 0) == 0; }
    bool pulse_;
    bool pipewire_;
};

}  // namespace

PortAudioInput::~PortAudioInput()
{
    stop();
    if (initialized_)
        Pa_Terminate();
}

bool PortAudioInput::start(Source source)
{
    stop();
    QuietStderr quiet;
    silenceAlsaMessages();
    if (!initialized_) {
        if (Pa_Initialize() != paNoError)
            return false;
        initialized_ = true;
    }
    PaStreamParameters params{};
    params.device = alsaDefaultInput();
    if (params.device == paNoDevice)
        return false;
    params.channelCount = kChannels;
    params.sampleFormat = paInt16;
    params.suggestedLatency = 0.05;
    samples_.assign(std::size_t(kMaxSeconds) * kRate * kChannels, 0);
    recorded_ = 0;
    const MonitorChoice monitor(source == Source::Speakers);
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, &params, nullptr, kRate, 256, paNoFlag, &PortAudioInput::callback, this) != paNoError)
        return false;
    if (Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        return false;
    }
    stream_ = stream;
    return true;
}

QByteArray PortAudioInput::stop()
{
    if (!stream_)
        return {};
    QuietStderr quiet;
    Pa_StopStream(stream_);
    Pa_CloseStream(stream_);
    stream_ = nullptr;
    const QByteArray recording(reinterpret_cast<const char*>(samples_.data()),
                               qsizetype(recorded_.load() * sizeof(std::int16_t)));
    samples_ = {};
    return recording;
}

int PortAudioInput::callback(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                             unsigned long, void* self)
{
    auto& me = *static_cast<PortAudioInput*>(self);
    const std::size_t at = me.recorded_.load();
    const std::size_t n = std::min<std::size_t>(frames * kChannels, me.samples_.size() - at);
    if (input)
        std::memcpy(me.samples_.data() + at, input, n * sizeof(std::int16_t));
    else
        std::memset(me.samples_.data() + at, 0, n * sizeof(std::int16_t));
    me.recorded_.store(at + n);
    return at + n < me.samples_.size() ? paContinue : paComplete;
}
