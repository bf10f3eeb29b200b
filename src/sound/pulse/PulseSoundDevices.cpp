#include "sound/pulse/PulseSoundDevices.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>

#include <QElapsedTimer>

namespace {

constexpr int kGiveUpMs = 2000;

}  // namespace

struct PulseSoundDevices::Query {
    Names names;
    bool asked = false;  // connected, and the server asked
    int pending = 0;     // answers still to come
    bool failed = false;

    // An operation that could not even be sent (the connection is gone) is a null pointer.
    void expect(pa_operation* operation)
    {
        if (operation) {
            ++pending;
            pa_operation_unref(operation);
        }
    }
};

void PulseSoundDevices::onState(pa_context* context, void* data)
{
    auto& query = *static_cast<Query*>(data);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        query.expect(pa_context_get_server_info(context, &PulseSoundDevices::onServer, &query));
        query.asked = true;
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        query.failed = true;
        break;
    default:
        break;
    }
}

void PulseSoundDevices::onServer(pa_context* context, const pa_server_info* server, void* data)
{
    auto& query = *static_cast<Query*>(data);
    --query.pending;
    if (!server)
        return;
    // PipeWire's service calls itself "PulseAudio (on PipeWire 0.3.65)", its version that of the
    // protocol it speaks.
    const QString name = QString::fromUtf8(server->server_name);
    query.names.server = name.contains(QLatin1String("PipeWire")) ? name
                                                                  : name + QLatin1Char(' ') + QString::fromUtf8(server->server_version);
    if (server->default_sink_name)
        query.expect(pa_context_get_sink_info_by_name(context, server->default_sink_name,
                                                      &PulseSoundDevices::onDevice<pa_sink_info, &Names::output>, &query));
    if (server->default_source_name)
        query.expect(pa_context_get_source_info_by_name(context, server->default_source_name,
                                                        &PulseSoundDevices::onDevice<pa_source_info, &Names::input>,
                                                        &query));
}

// A sink's or source's answer: its description goes to `name`.
template <typename Info, QString SoundDevices::Names::*name>
void PulseSoundDevices::onDevice(pa_context*, const Info* device, int last, void* data)
{
    auto& query = *static_cast<Query*>(data);
    if (device && device->description)
        query.names.*name = QString::fromUtf8(device->description);
    if (last)
        --query.pending;
}

SoundDevices::Names PulseSoundDevices::names()
{
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return {};
    Query query;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "ovrel timing report");
    if (context) {
        pa_context_set_state_callback(context, &PulseSoundDevices::onState, &query);
        // No server started on demand: a check only describes the one it ran on.
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            query.failed = true;
        QElapsedTimer waited;
        waited.start();
        while (!query.failed && !(query.asked && query.pending == 0) && waited.elapsed() < kGiveUpMs) {
            // Each wait is bounded, so a server that never answers cannot hold the window.
            if (pa_mainloop_prepare(loop, 50'000) < 0 || pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0)
                break;
        }
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
    return query.names;
}
