#include "platform/PipeWireInput.h"

#include <pipewire/pipewire.h>

#include <cmath>

struct PipeWireInput::Capture {
    pw_thread_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    spa_hook listener{};
    pw_stream_state state = PW_STREAM_STATE_UNCONNECTED;
    CaptureTake take;
};

namespace {

constexpr std::int64_t kFlowTimeoutNs = 2'000'000'000;

void onStateChanged(void* data, pw_stream_state, pw_stream_state state, const char*)
{
    auto& capture = *static_cast<PipeWireInput::Capture*>(data);
    capture.state = state;
    pw_thread_loop_signal(capture.loop, false);
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
    const std::size_t frames = plane.chunk->size / (CaptureTake::kChannels * sizeof(std::int16_t));
    capture.take.append(samples, frames, seconds);
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

PipeWireInput::PipeWireInput() : sound_(std::make_unique<Capture>()), speakers_(std::make_unique<Capture>()) {}

PipeWireInput::~PipeWireInput()
{
    tearDown();
}

bool PipeWireInput::start(Source source)
{
    stop();
    if (!client_.connect("ovrel-recorder"))
        return false;
    client_.lock();
    speakersToo_ = source == Source::Microphone;
    const auto all = [this](pw_stream_state wanted) {
        return sound_->state == wanted && (!speakersToo_ || speakers_->state == wanted);
    };
    const auto any = [this](pw_stream_state wanted) {
        return sound_->state == wanted || (speakersToo_ && speakers_->state == wanted);
    };
    const bool flowing = connect(*sound_, source == Source::Speakers) && (!speakersToo_ || connect(*speakers_, true))
                         && client_.waitUntil([&] { return all(PW_STREAM_STATE_STREAMING); },
                                              [&] { return any(PW_STREAM_STATE_ERROR); }, kFlowTimeoutNs);
    client_.unlock();
    if (!flowing)
        tearDown();
    return flowing;
}

bool PipeWireInput::connect(Capture& capture, bool monitor)
{
    capture.loop = client_.loop();
    capture.state = PW_STREAM_STATE_UNCONNECTED;
    capture.take.reset(kMaxSeconds);
    pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture",
                                             PW_KEY_MEDIA_ROLE, "Production", nullptr);
    if (monitor)
        pw_properties_set(props, PW_KEY_STREAM_CAPTURE_SINK, "true");
    capture.stream = pw_stream_new(client_.core(), monitor ? "Timing check: speakers" : "Timing check: microphone", props);
    if (!capture.stream)
        return false;
    pw_stream_add_listener(capture.stream, &capture.listener, &kEvents, &capture);
    return PipeWireClient::connectStereo16(capture.stream, false, CaptureTake::kRate);
}

SoundRecorder::Recording PipeWireInput::stop()
{
    if (!client_.connected())
        return {};
    tearDown();
    Recording recording;
    recording.sound = sound_->take.take();
    if (speakersToo_) {
        recording.speakers = speakers_->take.take();
        recording.speakersOffsetSeconds = speakers_->take.firstFrameSeconds() - sound_->take.firstFrameSeconds();
    }
    return recording;
}

void PipeWireInput::tearDown()
{
    if (!client_.connected())
        return;
    client_.lock();
    for (Capture* capture : {sound_.get(), speakers_.get()})
        if (capture->stream) {
            spa_hook_remove(&capture->listener);
            pw_stream_destroy(capture->stream);
            capture->stream = nullptr;
        }
    client_.unlock();
    client_.disconnect();
}
