#pragma once

#include "platform/PlacedOutput.h"

#include <atomic>
#include <cmath>
#include <memory>
#include <optional>

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_stream;

// The program's output through PipeWire's own interface, 44100 Hz, 16-bit stereo, for where
// PipeWire's ALSA plugin would carry it: that plugin says nothing when the server holds the
// sound back by whole cycles (the server's process held up, a missed deadline), while a native
// stream's time reports show it. It runs from open() (or the first start()) to close(), writing
// silence between sounds, and fixes the graph's quantum at 1024 frames while it plays, as the
// ALSA route does. A stream that has stopped (the server went away) is opened afresh at the next
// start(); one that cannot be opened is tried again after kRetryInterval.
//
// Timing: each sound goes where SoundPlacement puts it on the stream's frame count. With every
// buffer the stream is told where the graph stands (its position and the delay to the device,
// less what the stream and its resampler still hold); against the frames written so far that
// stays put while the sound flows. A step of a millisecond or more is sound held back (or
// dropped): the map moves by it.
class PipeWireOutput final : public PlacedOutput {
public:
    PipeWireOutput();
    ~PipeWireOutput() override;
    PipeWireOutput(const PipeWireOutput&) = delete;
    PipeWireOutput& operator=(const PipeWireOutput&) = delete;

    bool open() override;
    void close() override;
    bool start(const WaveImage& sound, SteadyTime due) override;
    void stop() override;
    std::vector<SoundFault> takeFaults() override;
    const SoundPlacement& placement() const override { return placement_; }
    double streamLatency() const override { return latency_; }

    // Below this, a step between the graph's position and the frames written is the jitter of
    // the resampler's reports.
    static constexpr double kMinStepFrames = 44;

private:
    friend struct PipeWireOutputEvents;
    void render();
    bool tryOpen();
    bool waitUntilFlowing();
    bool running();
    void tearDown();

    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    std::unique_ptr<struct spa_hook> listener_;
    std::atomic<int> state_{0};
    double latency_ = 0;
    std::optional<SteadyTime> failedAt_;
    std::int64_t renderedAtCheck_ = 0;
    SteadyTime checkedAt_{};
    // The audio thread's own: where the graph stood against the frames written at the buffer
    // before, and that buffer's first frame.
    double lastGraph_ = NAN;
    std::int64_t lastFirst_ = 0;
    SoundPlacement placement_{kSampleRate, kChannels};
};
