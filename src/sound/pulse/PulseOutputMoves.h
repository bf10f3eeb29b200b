#pragma once

#include "sound/OutputMoves.h"

#include <pulse/def.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

struct pa_context;
struct pa_sink_input_info;
struct pa_threaded_mainloop;

// Moves of this process's playback as the PulseAudio protocol reports them: PulseAudio's own, or
// PipeWire's service for it, which sees every stream of its graph. ALSA's plugins do not tell
// their streams. One more connection to the server while the output plays, none while the
// program is idle. Where no such server answers, it tells nothing.
class PulseOutputMoves final : public OutputMoves {
public:
    PulseOutputMoves() = default;
    ~PulseOutputMoves() override { stop(); }
    PulseOutputMoves(const PulseOutputMoves&) = delete;
    PulseOutputMoves& operator=(const PulseOutputMoves&) = delete;

    void start() override;
    void stop() override;
    std::vector<SteadyTime> take() override;

private:
    static void onState(pa_context* context, void* data);
    static void onEvent(pa_context* context, pa_subscription_event_type_t event, std::uint32_t stream, void* data);
    static void onStream(pa_context* context, const pa_sink_input_info* info, int last, void* data);
    void ask(std::uint32_t stream);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    std::mutex mutex_;
    std::map<std::uint32_t, std::uint32_t> outputs_;  // by stream of this process: where it plays
    std::vector<SteadyTime> moves_;
};
