#include "sound/portaudio/PortAudioInput.h"
#include "sound/SoundFormat.h"

#include "sound/portaudio/PortAudioDevices.h"
#include "sound/portaudio/QuietStderr.h"

#include <algorithm>
#include <portaudio.h>

namespace {

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
}

bool PortAudioInput::start(Source source)
{
    stop();
    QuietStderr quiet;
    if (!session_.start())
        return false;
    if (!open(source == Source::Speakers, sound_))
        return false;
    if (source == Source::Microphone)
        open(true, speakers_);
    return true;
}

bool PortAudioInput::open(bool monitor, Capture& capture)
{
    PaStreamParameters params{};
    params.device = alsaDefaultDevice(true);
    if (params.device == paNoDevice)
        return false;
    params.channelCount = kChannels;
    params.sampleFormat = paInt16;
    params.suggestedLatency = 0.05;
    capture.take.reset(kMaxSeconds);
    const MonitorChoice choice(monitor);
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, &params, nullptr, kSampleRate, 256, paNoFlag, &PortAudioInput::callback, &capture)
        != paNoError)
        return false;
    if (Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        return false;
    }
    capture.stream = stream;
    return true;
}

QByteArray PortAudioInput::recordedFrom(qsizetype frame) const
{
    return sound_.stream ? sound_.take.copyFrom(std::size_t(std::max<qsizetype>(frame, 0))) : QByteArray();
}

std::optional<SteadyTime> PortAudioInput::firstFrameCaptured() const
{
    return sound_.stream ? sound_.take.firstFrameCaptured() : std::nullopt;
}

SoundRecorder::Recording PortAudioInput::stop()
{
    if (!sound_.stream)
        return {};
    QuietStderr quiet;
    Recording recording;
    for (PaStream* stream : {sound_.stream, speakers_.stream})
        if (stream) {
            Pa_StopStream(stream);
            Pa_CloseStream(stream);
        }
    recording.sound = sound_.take.take();
    if (speakers_.stream) {
        recording.speakers = speakers_.take.take();
        if (route_.last() && route_.last()->throughPulsePlugin())
            recording.speakersOffsetSeconds = speakers_.take.firstFrameSeconds() - sound_.take.firstFrameSeconds();
    }
    sound_.stream = speakers_.stream = nullptr;
    return recording;
}

int PortAudioInput::callback(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo* time,
                             unsigned long, void* data)
{
    CaptureTake& take = static_cast<Capture*>(data)->take;
    // The buffer's first frame was captured as long before now as the stream's clock says.
    std::int64_t captured = CaptureTake::kNotTold;
    if (time->currentTime > 0 && time->inputBufferAdcTime > 0 && time->currentTime >= time->inputBufferAdcTime)
        captured = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count()
                   - std::int64_t((time->currentTime - time->inputBufferAdcTime) * 1e9);
    const bool room = take.append(static_cast<const std::int16_t*>(input), frames, time->inputBufferAdcTime, captured);
    return room ? paContinue : paComplete;
}
