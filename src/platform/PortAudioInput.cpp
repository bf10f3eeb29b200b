#include "platform/PortAudioInput.h"

#include "platform/AlsaMessages.h"
#include "platform/PortAudioDevices.h"
#include "platform/QuietStderr.h"

#include <portaudio.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

// The default output's monitor, asked for through what the plugins read when a stream opens.
// PipeWire's PulseAudio service takes "@DEFAULT_MONITOR@" for the default input (a microphone,
// on most desktops) but follows the stream property it also knows from its own clients, which
// PulseAudio ignores.
struct MonitorChoice {
    explicit MonitorChoice(bool monitor)
        : pulse("PULSE_SOURCE", "@DEFAULT_MONITOR@", monitor),
          pulseOnPipewire("PULSE_PROP", "stream.capture.sink=true", monitor),
          pipewire("PIPEWIRE_PROPS", "{ stream.capture.sink = true }", monitor) {}
    StreamEnvironment pulse;
    StreamEnvironment pulseOnPipewire;
    StreamEnvironment pipewire;
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
    params.device = alsaDefaultDevice(true);
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
