#include "sound/pipewire/PipeWireOutput.h"
#include "sound/SoundFormat.h"

#include "sound/pulse/PulseOutputMoves.h"

#include <pipewire/pipewire.h>

#include <algorithm>
#include <unistd.h>

namespace {

constexpr std::int64_t kFlowTimeoutNs = 2'000'000'000;
// From due time to the stream: covers a timer handler held up by a busy machine (up to about
// 175 ms) and a cycle of the graph.
constexpr std::int64_t kLeadFrames = kSampleRate / 5;
constexpr std::uint32_t kQuantum = 1024;

}  // namespace

struct PipeWireOutputEvents {
    static void stateChanged(void* data, pw_stream_state, pw_stream_state state, const char*)
    {
        auto& output = *static_cast<PipeWireOutput*>(data);
        output.state_.store(state);
        pw_thread_loop_signal(output.client_.loop(), false);
    }
    static void process(void* data) { static_cast<PipeWireOutput*>(data)->render(); }
    static const pw_stream_events& table()
    {
        static const pw_stream_events events = [] {
            pw_stream_events e{};
            e.version = PW_VERSION_STREAM_EVENTS;
            e.state_changed = stateChanged;
            e.process = process;
            return e;
        }();
        return events;
    }
};

PipeWireOutput::PipeWireOutput() : PlacedOutput(std::make_unique<PulseOutputMoves>()) {}

PipeWireOutput::~PipeWireOutput()
{
    tearDown();
}

bool PipeWireOutput::tryOpen()
{
    if (!client_.connect("ovrel-output"))
        return false;
    client_.lock();
    // The quantum held while the stream plays: see the ALSA route (PortAudioOutput).
    pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback",
                                             PW_KEY_MEDIA_ROLE, "Production", "node.force-quantum", "1024", nullptr);
    // Named as this process's own on the stream itself, where PipeWire's PulseAudio service shows
    // it and the watch for moves looks (the service does not show the client's name for it).
    pw_properties_setf(props, PW_KEY_APP_PROCESS_ID, "%d", int(::getpid()));
    stream_ = pw_stream_new(client_.core(), "Digits", props);
    bool flowing = false;
    if (stream_) {
        listener_ = std::make_unique<spa_hook>();
        pw_stream_add_listener(stream_, listener_.get(), &PipeWireOutputEvents::table(), this);
        lastGraph_ = NAN;
        latency_ = 2.0 * kQuantum / 48000;  // about two cycles of the graph at its usual rate
        placement_.restart(kLeadFrames, latency_);
        flowing = PipeWireClient::connect16(stream_, true, kSampleRate)
                  && client_.waitUntil([this] { return state_.load() == PW_STREAM_STATE_STREAMING; },
                                       [this] { return state_.load() == PW_STREAM_STATE_ERROR; }, kFlowTimeoutNs);
    }
    client_.unlock();
    if (!flowing)
        tearDown();
    return flowing;
}

bool PipeWireOutput::streaming() const
{
    return state_.load() == PW_STREAM_STATE_STREAMING;
}

void PipeWireOutput::closeStream()
{
    tearDown();
}

void PipeWireOutput::tearDown()
{
    if (!client_.connected())
        return;
    client_.lock();
    if (stream_) {
        spa_hook_remove(listener_.get());
        pw_stream_destroy(stream_);
        stream_ = nullptr;
    }
    client_.unlock();
    client_.disconnect();
    state_.store(PW_STREAM_STATE_UNCONNECTED);
}

// On the graph's thread, once a cycle. Where the graph stands against the frames written: its
// position plus the delay to the device is where the next frame written will be heard, less
// what is queued in the stream and held in its resampler.
void PipeWireOutput::render()
{
    pw_buffer* buffer = pw_stream_dequeue_buffer(stream_);
    if (!buffer)
        return;
    spa_data& plane = buffer->buffer->datas[0];
    auto* out = static_cast<std::int16_t*>(plane.data);
    if (!out) {
        pw_stream_queue_buffer(stream_, buffer);
        return;
    }
    const std::uint32_t room = plane.maxsize / kFrameBytes;
    const std::uint32_t frames = std::min<std::uint32_t>(room, buffer->requested ? std::uint32_t(buffer->requested) : kQuantum);
    pw_time time{};
    pw_stream_get_time_n(stream_, &time, sizeof time);
    const std::int64_t first = placement_.rendered();
    if (placement_.mapChanged())
        lastGraph_ = NAN;  // what went before the new map cannot have moved it
    SoundPlacement::Slip slip;
    if (time.rate.denom) {
        const double tick = double(time.rate.num) / time.rate.denom;
        const double graph = (double(time.ticks) + double(time.delay)) * tick * kSampleRate
                             + double(time.queued) / kFrameBytes + double(time.buffered) - double(first);
        if (!std::isnan(lastGraph_) && std::fabs(graph - lastGraph_) >= kMinStepFrames)
            slip = {std::llround(graph - lastGraph_), lastFirst_};
        lastGraph_ = graph;
    }
    lastFirst_ = first;
    placement_.render(out, frames, slip);
    plane.chunk->offset = 0;
    plane.chunk->stride = kFrameBytes;
    plane.chunk->size = frames * kFrameBytes;
    pw_stream_queue_buffer(stream_, buffer);
}
