#include "sound/pulse/PulseOutputMoves.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/subscribe.h>
#include <pulse/thread-mainloop.h>

#include <cstdlib>
#include <unistd.h>
#include <utility>

namespace {

// An operation that could not even be sent (the connection is gone) is a null pointer.
void release(pa_operation* operation)
{
    if (operation)
        pa_operation_unref(operation);
}

}  // namespace

void PulseOutputMoves::start()
{
    if (loop_)
        return;
    loop_ = pa_threaded_mainloop_new();
    if (!loop_)
        return;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "ovrel output watch");
    if (!context_) {
        stop();
        return;
    }
    pa_context_set_state_callback(context_, &PulseOutputMoves::onState, this);
    pa_context_set_subscribe_callback(context_, &PulseOutputMoves::onEvent, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 || pa_threaded_mainloop_start(loop_) < 0)
        stop();
}

void PulseOutputMoves::stop()
{
    if (!loop_)
        return;
    pa_threaded_mainloop_stop(loop_);
    if (context_) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
    std::lock_guard lock(mutex_);
    outputs_.clear();
}

std::vector<SteadyTime> PulseOutputMoves::take()
{
    std::lock_guard lock(mutex_);
    return std::exchange(moves_, {});
}

// Once connected: every playback stream as it is, then each one as it comes or changes.
void PulseOutputMoves::onState(pa_context* context, void* data)
{
    if (pa_context_get_state(context) != PA_CONTEXT_READY)
        return;
    release(pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr));
    release(pa_context_get_sink_input_info_list(context, &PulseOutputMoves::onStream, data));
}

// A playback stream gone is forgotten; one that came or changed is asked where it plays.
void PulseOutputMoves::onEvent(pa_context*, pa_subscription_event_type_t event, std::uint32_t stream, void* data)
{
    auto& self = *static_cast<PulseOutputMoves*>(data);
    if ((event & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_REMOVE) {
        std::lock_guard lock(self.mutex_);
        self.outputs_.erase(stream);
    } else {
        self.ask(stream);
    }
}

void PulseOutputMoves::ask(std::uint32_t stream)
{
    release(pa_context_get_sink_input_info(context_, stream, &PulseOutputMoves::onStream, this));
}

// A stream of this process that plays somewhere else than it did has been moved.
void PulseOutputMoves::onStream(pa_context*, const pa_sink_input_info* info, int last, void* data)
{
    if (last || !info)
        return;
    const char* process = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
    if (!process || std::strtol(process, nullptr, 10) != long(::getpid()))
        return;
    auto& self = *static_cast<PulseOutputMoves*>(data);
    std::lock_guard lock(self.mutex_);
    const auto [known, added] = self.outputs_.try_emplace(info->index, info->sink);
    if (!added && known->second != info->sink) {
        known->second = info->sink;
        self.moves_.push_back(std::chrono::steady_clock::now());
    }
}
