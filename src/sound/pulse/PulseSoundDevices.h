#pragma once

#include "sound/SoundDevices.h"

struct pa_context;
struct pa_server_info;

// Asks over the PulseAudio protocol (PulseAudio, or PipeWire's PulseAudio service) for the
// server's name and the descriptions of its default sink and source. Gives up after two seconds,
// or at once where no such server answers (PipeWire reached through its own ALSA plugin alone).
class PulseSoundDevices final : public SoundDevices {
public:
    Names names() override;

private:
    // One connection's question and the answers it has had; its callbacks' data.
    struct Query;

    static void onState(pa_context* context, void* data);
    static void onServer(pa_context* context, const pa_server_info* server, void* data);
    template <typename Info, QString SoundDevices::Names::*name>
    static void onDevice(pa_context* context, const Info* device, int last, void* data);
};
