#include "sound/portaudio/PortAudioOutput.h"
#include "sound/SoundFormat.h"

#include "sound/portaudio/PortAudioDevices.h"
#include "sound/pulse/PulseOutputMoves.h"
#include "sound/portaudio/QuietStderr.h"

#include <pa_linux_alsa.h>
#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// How the stream is laid out. Digits are placed on their frames ahead of time, so the buffers
// need not be short: only the lead has to cover them. On PulseAudio, 2048-frame buffers with
// 0.15 s asked for give four of them (186 ms): the audio thread and the server wake about 50
// times a second instead of about 260, a trial costs about what a player of one long file does,
// and the audio thread needs no real-time scheduling (where it had it, each wakeup cost ten
// times the processor time). Through PipeWire's PulseAudio service, which the same ALSA plugin
// reaches and whose delay reports wander, such buffers put a cold stream's first digits up to
// 17 ms off the grid, and the slips they seemed to show were none: there, and on PipeWire's own
// ALSA plugin (both taken only where PipeWire's own stream cannot be had), the stream keeps short
// buffers and asks for a real-time thread.
struct Layout {
    unsigned long framesPerBuffer;
    double suggestedLatency;
    std::int64_t leadFrames;
    bool realtime;
    int slipWindow;  // buffers to a window of the slip detector: about 190 ms, or 740 ms
    // The largest step the delay reports may show with no sound lost: PulseAudio's are made once
    // a buffer; PipeWire's move by whole cycles of its graph (1024 frames, held below), at up to
    // this stream's rate.
    std::int64_t slipGrain;
};
constexpr Layout kBrisk{256, 0.05, kSampleRate / 5, true, 32, 1024};
constexpr Layout kRoomy{2048, 0.15, kSampleRate / 4, false, 16, 2048};

// How late a buffer with a planted report step is taken to be asked for: 60 ms, in frames.
constexpr double kPlantedLateCall = kSampleRate * 0.06;

// On PipeWire the graph's quantum follows the lowest latency any client asks for. Each change
// of it while a stream plays loses frames between the stream and the sink, and a small quantum
// (64 frames, 1.3 ms, for a client that comes and goes) leaves the server a deadline so short
// that a busy machine misses some; each miss moves the sound by a whole cycle. Either put the
// digits of a trial hundreds of milliseconds off their grid, and garbled one. So while the stream
// plays it fixes the quantum at 1024 frames, PipeWire's own default, through the properties
// PipeWire's ALSA plugin and its PulseAudio service read when a stream opens; PulseAudio ignores
// them. What the user has set there stays as it is, and nothing is left for the programs this
// one starts.
struct QuantumHold {
    StreamEnvironment pipewire{"PIPEWIRE_PROPS", "{ node.force-quantum = 1024 }"};
    StreamEnvironment pulse{"PULSE_PROP", "node.force-quantum=1024"};
};

}  // namespace

bool PortAudioOutput::tryOpen()
{
    QuietStderr quiet;
    const QuantumHold quantum;
    // The devices may have been listed while there was no sound server.
    if (!session_.start(true))
        return false;
    PaStreamParameters params{};
    params.device = alsaDefaultDevice(false);
    if (params.device == paNoDevice)
        return false;
    // PulseAudio itself behind ALSA's default device, not PipeWire's service of its protocol. Where
    // the server could not be asked, the stream is laid out as for PipeWire.
    const SoundWay way = route_.last().value_or(SoundWay());
    const Layout layout = way.alsa == SoundWay::Alsa::PulseAudio ? kRoomy : kBrisk;
    params.channelCount = kChannels;
    params.sampleFormat = paInt16;
    params.suggestedLatency = layout.suggestedLatency;
    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, nullptr, &params, kSampleRate, layout.framesPerBuffer, paNoFlag,
                      &PortAudioOutput::callback, this)
        != paNoError)
        return false;
    // With short buffers the audio thread asks for real-time scheduling, so a busy machine does
    // not starve the stream; where the user may not have it, the thread runs at normal priority.
    if (layout.realtime)
        PaAlsa_EnableRealtimeScheduling(stream, 1);
    // PipeWire's own plugin and PulseAudio's tell of underruns differently.
    slips_.reset(way.alsa != SoundWay::Alsa::PipeWirePlugin, layout.slipWindow);
    slipGrain_ = layout.slipGrain;
    if (Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        return false;
    }
    stream_ = stream;
    latency_ = Pa_GetStreamInfo(stream) ? Pa_GetStreamInfo(stream)->outputLatency : 0;
    placement_.restart(layout.leadFrames, latency_);
    return true;
}

bool PortAudioOutput::streaming() const
{
    return Pa_IsStreamActive(stream_) == 1;
}

void PortAudioOutput::closeStream()
{
    QuietStderr quiet;
    Pa_AbortStream(stream_);
    Pa_CloseStream(stream_);
    stream_ = nullptr;
}

PortAudioOutput::PortAudioOutput(const SoundRoute& route)
    : PlacedOutput(std::make_unique<PulseOutputMoves>()), route_(route)
{
}

int PortAudioOutput::callback(const void*, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo* time, unsigned long flags, void* data)
{
    static_cast<PortAudioOutput*>(data)->render(static_cast<std::int16_t*>(output), frames,
                                                time->currentTime, time->outputBufferDacTime, flags & paOutputUnderflow);
    return paContinue;
}

// A stream that cannot tell when its buffers are heard (a time of 0) is taken at its frame count.
// A report step planted for the benches comes with a buffer asked for late, as a busy machine's
// are, and with no gap in the sound: what is queued covers it.
void PortAudioOutput::render(std::int16_t* out, unsigned long frames, double calledAt, double heardAt,
                             bool underflowed)
{
    if (placement_.mapChanged())
        placement_.forgotten({slips_.forget(), slips_.slipFrom()});
    bool planted = false;
    const double skew = double(reportSkew(&planted));
    const std::int64_t first = placement_.rendered();
    TimeReport report{.steadyNs = std::chrono::steady_clock::now().time_since_epoch().count(), .first = first,
                      .frames = std::uint32_t(frames), .calledAt = calledAt * kSampleRate + (planted ? kPlantedLateCall : 0),
                      .heardAt = heardAt > 0 ? heardAt * kSampleRate + skew : 0, .underflowed = underflowed};
    report.slip = heardAt > 0 ? slips_.feed(first, report.calledAt, report.heardAt, underflowed) : 0;
    reports_.add(report);
    placement_.render(out, frames, {report.slip, slips_.slipFrom(), slipGrain_});
}
