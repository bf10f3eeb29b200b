#include "sound/pipewire/PipeWireOutput.h"
#include "sound/SoundFormat.h"

#include "sound/pulse/PulseOutputMoves.h"

#include <pipewire/pipewire.h>

#include <algorithm>
#include <chrono>
#include <unistd.h>

namespace {

// From due time to the stream: covers a timer handler held up by a busy machine (up to about
// 175 ms) and a cycle of the graph.
constexpr std::int64_t kLeadFrames = kSampleRate / 5;
constexpr std::uint32_t kQuantum = 1024;

}  // namespace

const PipeWireStream::Events PipeWireOutput::kStreamEvents = {
    .process = &PipeWireOutput::process,
    .made = &PipeWireOutput::made,
    .connected = nullptr,
    .closing = nullptr,
};

PipeWireOutput::PipeWireOutput() : PlacedOutput(std::make_unique<PulseOutputMoves>()) {}

bool PipeWireOutput::tryOpen()
{
    // The quantum held while the stream plays: see the ALSA route (PortAudioOutput).
    pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback",
                                             PW_KEY_MEDIA_ROLE, "Production", "node.force-quantum", "1024", nullptr);
    // Named as this process's own on the stream itself, where PipeWire's PulseAudio service shows
    // it and the watch for moves looks (the service does not show the client's name for it).
    pw_properties_setf(props, PW_KEY_APP_PROCESS_ID, "%d", int(::getpid()));
    return stream_.open("ovrel-output", "Digits", props, true, kChannels);
}

bool PipeWireOutput::streaming() const
{
    return stream_.streaming();
}

void PipeWireOutput::closeStream()
{
    stream_.close();
}

// The stream made, before anything can be rendered on it: the placement starts afresh.
void PipeWireOutput::made(void* data)
{
    auto& self = *static_cast<PipeWireOutput*>(data);
    self.slips_.forget();
    self.latency_ = 2.0 * kQuantum / 48000;  // about two cycles of the graph at its usual rate
    self.placement_.restart(kLeadFrames, self.latency_);
}

void PipeWireOutput::process(void* data)
{
    static_cast<PipeWireOutput*>(data)->render();
}

// On the graph's thread, once a cycle. Where the graph stands against the frames written: its
// position plus the delay to the device is where the next frame written will be heard, less
// what is queued in the stream and held in its resampler.
void PipeWireOutput::render()
{
    pw_stream* const stream = stream_.stream();
    pw_buffer* buffer = pw_stream_dequeue_buffer(stream);
    if (!buffer)
        return;
    spa_data& plane = buffer->buffer->datas[0];
    auto* out = static_cast<std::int16_t*>(plane.data);
    if (!out) {
        pw_stream_queue_buffer(stream, buffer);
        return;
    }
    const std::uint32_t room = plane.maxsize / kFrameBytes;
    const std::uint32_t frames = std::min<std::uint32_t>(room, buffer->requested ? std::uint32_t(buffer->requested) : kQuantum);
    pw_time time{};
    pw_stream_get_time_n(stream, &time, sizeof time);
    bool planted = false;
    const std::int64_t skew = reportSkew(&planted);
    const std::int64_t first = placement_.rendered();
    if (placement_.mapChanged())
        slips_.forget();  // what went before the new map cannot have moved it
    TimeReport report{.steadyNs = std::chrono::steady_clock::now().time_since_epoch().count(), .first = first,
                      .frames = frames, .now = time.now, .ticks = time.ticks, .delay = time.delay,
                      .queued = time.queued, .buffered = time.buffered, .rateNum = time.rate.num,
                      .rateDenom = time.rate.denom};
    SoundPlacement::Slip slip;
    if (time.rate.denom) {
        const double tick = double(time.rate.num) / time.rate.denom;
        report.graph = (double(time.ticks) + double(time.delay)) * tick * kSampleRate
                       + double(time.queued) / kFrameBytes + double(time.buffered) - double(first) + double(skew);
        slip = slips_.feed(report.graph, first, time.now);
        slip.grain = frames;  // the graph's time moves by cycles
    }
    report.slip = slip.frames;
    reports_.add(report);
    placement_.render(out, frames, slip);
    plane.chunk->offset = 0;
    plane.chunk->stride = kFrameBytes;
    plane.chunk->size = frames * kFrameBytes;
    pw_stream_queue_buffer(stream, buffer);
}
