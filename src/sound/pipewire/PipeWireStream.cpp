#include "sound/pipewire/PipeWireStream.h"
#include "sound/SoundFormat.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <cstdint>

namespace {

// The longest wait for anything the stream needs of the graph, and for its flow: a PipeWire that
// handles only video beside PulseAudio never lets it flow.
constexpr std::int64_t kFlowTimeoutNs = 2'000'000'000;

}  // namespace

const pw_stream_events PipeWireStream::kEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = &PipeWireStream::stateChanged;
    events.process = &PipeWireStream::process;
    return events;
}();

PipeWireStream::PipeWireStream(const Events& events, void* data) : events_(events), data_(data) {}

PipeWireStream::~PipeWireStream()
{
    close();
}

bool PipeWireStream::open(const char* threadName, const char* name, pw_properties* props, bool output, int channels)
{
    close();
    if (!client_.connect(threadName)) {
        pw_properties_free(props);
        return false;
    }
    client_.lock();
    state_.store(PW_STREAM_STATE_UNCONNECTED);
    stream_ = pw_stream_new(client_.core(), name, props);
    bool flowing = false;
    if (stream_) {
        pw_stream_add_listener(stream_, &hook_, &kEvents, this);
        if (events_.made)
            events_.made(data_);
        flowing = connect16(output, channels) && (!events_.connected || events_.connected(data_))
                  && waitUntil([this] { return streaming(); });
    }
    client_.unlock();
    if (!flowing)
        close();
    return flowing;
}

void PipeWireStream::close()
{
    if (!client_.connected())
        return;
    client_.lock();
    if (events_.closing)
        events_.closing(data_);
    if (stream_) {
        spa_hook_remove(&hook_);
        hook_ = {};
        pw_stream_destroy(stream_);
        stream_ = nullptr;
    }
    client_.unlock();
    client_.disconnect();
    state_.store(PW_STREAM_STATE_UNCONNECTED);
}

bool PipeWireStream::waitUntil(const std::function<bool()>& done)
{
    return client_.waitUntil(done, [this] { return state_.load() == PW_STREAM_STATE_ERROR; }, kFlowTimeoutNs);
}

// Its buffers mapped and its process event run on the graph's thread.
bool PipeWireStream::connect16(bool output, int channels)
{
    std::uint8_t room[512];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(room, sizeof room);
    spa_audio_info_raw format{};
    format.format = SPA_AUDIO_FORMAT_S16;
    format.rate = std::uint32_t(kSampleRate);
    format.channels = std::uint32_t(std::clamp(channels, 1, 4));
    const spa_audio_channel positions[] = {SPA_AUDIO_CHANNEL_FL, SPA_AUDIO_CHANNEL_FR, SPA_AUDIO_CHANNEL_RL,
                                           SPA_AUDIO_CHANNEL_RR};
    std::copy_n(positions, format.channels, format.position);
    const spa_pod* params[] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &format)};
    const auto flags = pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
    return pw_stream_connect(stream_, output ? PW_DIRECTION_OUTPUT : PW_DIRECTION_INPUT, PW_ID_ANY, flags, params, 1) == 0;
}

void PipeWireStream::stateChanged(void* data, pw_stream_state, pw_stream_state state, const char*)
{
    auto& self = *static_cast<PipeWireStream*>(data);
    self.state_.store(state);
    pw_thread_loop_signal(self.client_.loop(), false);
}

void PipeWireStream::process(void* data)
{
    auto& self = *static_cast<PipeWireStream*>(data);
    self.events_.process(self.data_);
}
