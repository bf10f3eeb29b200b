#include "sound/pipewire/PipeWireInput.h"
#include "sound/SoundFormat.h"

#include "sound/pipewire/PipeWireGraph.h"

#include <algorithm>
#include <cmath>
#include <iterator>

struct PipeWireInput::Capture {
    pw_thread_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    spa_hook listener{};
    pw_stream_state state = PW_STREAM_STATE_UNCONNECTED;
    CaptureTake sound;
    CaptureTake speakers;
};

namespace {

constexpr std::int64_t kFlowTimeoutNs = 2'000'000'000;
// The channels of the one stream, in link order: each records the output port at the same index.
// The default sink's monitor in the first two, the default source in the next two.
constexpr const char* kChannelNames[] = {"FL", "FR", "RL", "RR"};
constexpr std::size_t kStreamChannels = std::size(kChannelNames);

void onStateChanged(void* data, pw_stream_state, pw_stream_state state, const char*)
{
    auto& capture = *static_cast<PipeWireInput::Capture*>(data);
    capture.state = state;
    pw_thread_loop_signal(capture.loop, false);
}

// Channels `first` and `first + 1` of `frames` frames of `channels` interleaved ones.
void pickPair(const std::int16_t* from, std::size_t frames, std::size_t channels, std::size_t first, std::int16_t* to)
{
    for (std::size_t f = 0; f < frames; ++f) {
        to[2 * f] = from[channels * f + first];
        to[2 * f + 1] = from[channels * f + first + 1];
    }
}

// On the graph's thread: each buffer is stamped with the graph's position at its cycle.
void onProcess(void* data)
{
    auto& capture = *static_cast<PipeWireInput::Capture*>(data);
    pw_buffer* buffer = pw_stream_dequeue_buffer(capture.stream);
    if (!buffer)
        return;
    const spa_data& plane = buffer->buffer->datas[0];
    pw_time time{};
    pw_stream_get_time_n(capture.stream, &time, sizeof time);
    const double seconds = time.rate.denom ? double(time.ticks) * time.rate.num / time.rate.denom : NAN;
    const auto* samples = plane.data ? static_cast<const std::int16_t*>(SPA_PTROFF(plane.data, plane.chunk->offset, void))
                                     : nullptr;
    const std::size_t frames = plane.chunk->size / (kStreamChannels * sizeof(std::int16_t));
    // Taken apart in pieces, without allocating: each take gets its pair of channels.
    constexpr std::size_t kPiece = 1024;
    std::int16_t pair[kPiece * 2];
    for (std::size_t done = 0; done < frames; done += kPiece) {
        const std::size_t n = std::min(kPiece, frames - done);
        const double at = seconds + double(done) / kSampleRate;
        const auto record = [&](CaptureTake& take, std::size_t first) {
            if (samples)
                pickPair(samples + done * kStreamChannels, n, kStreamChannels, first, pair);
            take.append(samples ? pair : nullptr, n, at);
        };
        record(capture.speakers, 0);
        record(capture.sound, 2);
    }
    pw_stream_queue_buffer(capture.stream, buffer);
}

const pw_stream_events kEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = onStateChanged;
    events.process = onProcess;
    return events;
}();

}  // namespace

PipeWireInput::PipeWireInput() : capture_(std::make_unique<Capture>()) {}

PipeWireInput::~PipeWireInput()
{
    tearDown();
}

bool PipeWireInput::start(Source source)
{
    stop();
    if (source != Source::Microphone || !client_.connect("ovrel-recorder"))
        return false;
    client_.lock();
    Capture& capture = *capture_;
    capture.loop = client_.loop();
    capture.state = PW_STREAM_STATE_UNCONNECTED;
    capture.sound.reset(kMaxSeconds);
    capture.speakers.reset(kMaxSeconds);
    graph_ = std::make_unique<PipeWireGraph>(client_.loop(), client_.core());
    pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture",
                                             PW_KEY_MEDIA_ROLE, "Production", PW_KEY_NODE_AUTOCONNECT, "false",
                                             nullptr);
    capture.stream = pw_stream_new(client_.core(), "Timing check", props);
    if (capture.stream)
        pw_stream_add_listener(capture.stream, &capture.listener, &kEvents, &capture);
    const bool flowing = capture.stream && PipeWireClient::connect16(capture.stream, false, kSampleRate, int(kStreamChannels))
                         && linkByHand()
                         && client_.waitUntil([&] { return capture.state == PW_STREAM_STATE_STREAMING; },
                                              [&] { return capture.state == PW_STREAM_STATE_ERROR; }, kFlowTimeoutNs);
    client_.unlock();
    if (!flowing)
        tearDown();
    return flowing;
}

// With the loop locked: once the graph shows the stream's ports and the default devices', links
// the sink's monitor to the first two channels and the source to the next two.
bool PipeWireInput::linkByHand()
{
    std::vector<PipeWireGraph::Port> from;
    std::vector<PipeWireGraph::Port> to;
    const auto ready = [&] {
        from = graph_->stereoOutputs(graph_->defaultNode(true));
        const auto microphone = graph_->stereoOutputs(graph_->defaultNode(false));
        from.insert(from.end(), microphone.begin(), microphone.end());
        to.clear();
        const std::uint32_t own = pw_stream_get_node_id(capture_->stream);
        const auto inputs = graph_->ports(own, false);
        for (const char* channel : kChannelNames)
            for (const auto& port : inputs)
                if (port.channel == channel)
                    to.push_back(port);
        return own != SPA_ID_INVALID && from.size() == kStreamChannels && to.size() == kStreamChannels;
    };
    if (!client_.waitUntil(ready, [&] { return capture_->state == PW_STREAM_STATE_ERROR; }, kFlowTimeoutNs))
        return false;
    for (std::size_t c = 0; c < kStreamChannels; ++c)
        if (!graph_->link(from[c], to[c]))
            return false;
    return true;
}

QByteArray PipeWireInput::recordedFrom(qsizetype frame) const
{
    return client_.connected() ? capture_->sound.copyFrom(std::size_t(std::max<qsizetype>(frame, 0))) : QByteArray();
}

SoundRecorder::Recording PipeWireInput::stop()
{
    if (!client_.connected())
        return {};
    tearDown();
    Recording recording;
    recording.sound = capture_->sound.take();
    recording.speakers = capture_->speakers.take();
    recording.speakersOffsetSeconds = capture_->speakers.firstFrameSeconds() - capture_->sound.firstFrameSeconds();
    return recording;
}

void PipeWireInput::tearDown()
{
    if (!client_.connected())
        return;
    client_.lock();
    graph_.reset();
    if (capture_->stream) {
        spa_hook_remove(&capture_->listener);
        pw_stream_destroy(capture_->stream);
        capture_->stream = nullptr;
    }
    client_.unlock();
    client_.disconnect();
}
