#include "sound/pipewire/PipeWireInput.h"
#include "sound/SoundFormat.h"

#include "sound/pipewire/PipeWireGraph.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The channels of the one stream, in link order: each records the output port at the same index.
// The default sink's monitor in the first two, the default source in the next two.
constexpr const char* kChannelNames[] = {"FL", "FR", "RL", "RR"};
constexpr std::size_t kStreamChannels = std::size(kChannelNames);

// Channels `first` and `first + 1` of `frames` frames of `channels` interleaved ones.
void pickPair(const std::int16_t* from, std::size_t frames, std::size_t channels, std::size_t first, std::int16_t* to)
{
    for (std::size_t f = 0; f < frames; ++f) {
        to[2 * f] = from[channels * f + first];
        to[2 * f + 1] = from[channels * f + first + 1];
    }
}

}  // namespace

const PipeWireStream::Events PipeWireInput::kStreamEvents = {
    .process = &PipeWireInput::process,
    .made = &PipeWireInput::made,
    .connected = &PipeWireInput::connected,
    .closing = &PipeWireInput::closing,
};

PipeWireInput::PipeWireInput() = default;
PipeWireInput::~PipeWireInput() = default;

bool PipeWireInput::start(Source source)
{
    stop();
    if (source != Source::Microphone)
        return false;
    sound_.reset(kMaxSeconds);
    speakers_.reset(kMaxSeconds);
    pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture",
                                             PW_KEY_MEDIA_ROLE, "Production", PW_KEY_NODE_AUTOCONNECT, "false",
                                             nullptr);
    return stream_.open("ovrel-recorder", "Timing check", props, false, int(kStreamChannels));
}

// The graph is watched from the stream's making to its end, for the links made by hand.
void PipeWireInput::made(void* data)
{
    auto& self = *static_cast<PipeWireInput*>(data);
    self.graph_ = std::make_unique<PipeWireGraph>(self.stream_.client().loop(), self.stream_.client().core());
}

bool PipeWireInput::connected(void* data)
{
    return static_cast<PipeWireInput*>(data)->linkByHand();
}

void PipeWireInput::closing(void* data)
{
    static_cast<PipeWireInput*>(data)->graph_.reset();
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
        const std::uint32_t own = pw_stream_get_node_id(stream_.stream());
        const auto inputs = graph_->ports(own, false);
        for (const char* channel : kChannelNames)
            for (const auto& port : inputs)
                if (port.channel == channel)
                    to.push_back(port);
        return own != SPA_ID_INVALID && from.size() == kStreamChannels && to.size() == kStreamChannels;
    };
    if (!stream_.waitUntil(ready))
        return false;
    for (std::size_t c = 0; c < kStreamChannels; ++c)
        if (!graph_->link(from[c], to[c]))
            return false;
    return true;
}

// On the graph's thread: each buffer is stamped with the graph's position at its cycle.
void PipeWireInput::process(void* data)
{
    auto& self = *static_cast<PipeWireInput*>(data);
    pw_stream* const stream = self.stream_.stream();
    pw_buffer* buffer = pw_stream_dequeue_buffer(stream);
    if (!buffer)
        return;
    const spa_data& plane = buffer->buffer->datas[0];
    pw_time time{};
    pw_stream_get_time_n(stream, &time, sizeof time);
    const double seconds = time.rate.denom ? double(time.ticks) * time.rate.num / time.rate.denom : NAN;
    // The cycle's data was captured its delay (in the graph's ticks) before the cycle began.
    const std::int64_t captured = time.rate.denom && time.now > 0
                                      ? time.now - std::int64_t(double(time.delay) * 1e9 * time.rate.num / time.rate.denom)
                                      : CaptureTake::kNotTold;
    const auto* samples = plane.data ? static_cast<const std::int16_t*>(SPA_PTROFF(plane.data, plane.chunk->offset, void))
                                     : nullptr;
    const std::size_t frames = plane.chunk->size / (kStreamChannels * sizeof(std::int16_t));
    // Taken apart in pieces, without allocating: each take gets its pair of channels.
    constexpr std::size_t kPiece = 1024;
    std::int16_t pair[kPiece * 2];
    for (std::size_t done = 0; done < frames; done += kPiece) {
        const std::size_t n = std::min(kPiece, frames - done);
        const double at = seconds + double(done) / kSampleRate;
        const std::int64_t capturedAt = captured == CaptureTake::kNotTold ? captured : captured + std::int64_t(double(done) * 1e9 / kSampleRate);
        const auto record = [&](CaptureTake& take, std::size_t first) {
            if (samples)
                pickPair(samples + done * kStreamChannels, n, kStreamChannels, first, pair);
            take.append(samples ? pair : nullptr, n, at, capturedAt);
        };
        record(self.speakers_, 0);
        record(self.sound_, 2);
    }
    pw_stream_queue_buffer(stream, buffer);
}

QByteArray PipeWireInput::recordedFrom(qsizetype frame) const
{
    return stream_.isOpen() ? sound_.copyFrom(std::size_t(std::max<qsizetype>(frame, 0))) : QByteArray();
}

std::optional<SteadyTime> PipeWireInput::firstFrameCaptured() const
{
    return stream_.isOpen() ? sound_.firstFrameCaptured() : std::nullopt;
}

SoundRecorder::Recording PipeWireInput::stop()
{
    if (!stream_.isOpen())
        return {};
    stream_.close();
    Recording recording;
    recording.sound = sound_.take();
    recording.speakers = speakers_.take();
    recording.speakersOffsetSeconds = speakers_.firstFrameSeconds() - sound_.firstFrameSeconds();
    return recording;
}
