#pragma once

#include "platform/OutputMoves.h"
#include "platform/SlipDetector.h"
#include "platform/SoundFaultLog.h"
#include "platform/SoundOutput.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

// The program's one output stream: PortAudio on ALSA's "default" device (which reaches
// PulseAudio or PipeWire on a desktop), 44100 Hz, 16-bit stereo. It runs from open() (or the first
// start()) to close(), writing silence between sounds; while it is closed the program holds
// nothing on the sound server. A stream that has stopped (the sound server went away) is closed
// at the next start() and opened afresh; while it cannot be opened, start() fails at once and a
// new attempt is made every kRetryInterval, with the list of devices read anew (the sound server
// may have come up since).
//
// Timing: the stream's own frame count is its clock. Due times map to stream frames through an
// anchor (a due time and the frame it is heard at) taken at the first sound, a lead ahead of
// what the stream had rendered then; every later sound starts exactly at its due time's frame
// on that map. The anchor is taken afresh only when a sound would start too soon to be rendered
// whole or too far ahead (the sound device's clock running apart from the computer's, a stall of
// the stream), and at every reopening. Where the sound server inserts or drops frames behind the
// stream's back (an underrun), the times it gives for each buffer step apart from the frame count:
// the map is moved by the slip, so that the digits after it are heard on the grid again. On
// PipeWire the stream fixes the graph's quantum while it plays: a change of quantum loses frames
// that the frame count has already counted, and a small one gives a busy machine deadlines it
// misses.
//
// What the stream sees go wrong with a sound is kept for takeFaults(): a sound that could not be
// played, one placed off the map (a new map taken while the old one held, a stream opened afresh
// after it stopped), one started after its frame, a slip around a sound, and one the server moved
// to another output as it played or just before.
class PortAudioOutput final : public SoundOutput {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    static constexpr std::int64_t kMinLeadFrames = 1024;
    static constexpr std::chrono::milliseconds kRetryInterval{2000};
    // A stream whose frame count has not moved for this long has stopped.
    static constexpr std::chrono::milliseconds kStallLimit{500};

    // The process-wide stream. Never destroyed: the audio thread may still be reading the last
    // sound while static objects are torn down.
    static PortAudioOutput& instance();

    bool open() override;
    void close() override;
    bool start(const WaveImage& sound, SteadyTime due) override;
    void stop() override;
    std::vector<SoundFault> takeFaults() override;

    // How often the due-time map was taken afresh (the first time included).
    int anchors() const { return anchors_; }
    // How many slips the map was moved by.
    int slips() const { return slipCount_.load(); }
    // The stream's own latency estimate in seconds, once open.
    double streamLatency() const { return latency_; }
    // From due time to the stream, as laid out when it last opened: covers a timer handler held
    // up by a busy machine (up to about 175 ms) and the stream's bursts.
    std::int64_t leadFrames() const { return leadFrames_; }

private:
    PortAudioOutput() = default;
    static int callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, unsigned long flags, void* self);
    void render(std::int16_t* out, unsigned long frames, double calledAt, double heardAt, bool underflowed);
    std::int64_t startFrameFor(SteadyTime due);
    bool tryOpen();
    bool running();
    void closeStream();
    void noteUnheard();
    void noteMoves();

    bool initialized_ = false;
    PaStream* stream_ = nullptr;
    double latency_ = 0;
    std::int64_t leadFrames_ = kSampleRate / 5;
    std::optional<SteadyTime> failedAt_;
    std::int64_t renderedAtCheck_ = 0;
    SteadyTime checkedAt_{};

    // Frames handed to the stream so far: the frame index of the next buffer.
    std::atomic<std::int64_t> rendered_{0};
    int anchors_ = 0;
    SlipDetector slips_;  // the audio thread's own
    std::atomic<int> slipCount_{0};
    std::atomic<bool> forgetSlips_{false};  // a new map: the audio thread is to forget what it saw

    // Guards the due-time map and the sound being played; held by the audio thread while it
    // fills one buffer, in which it moves the map by any slip. Unguarded while no stream runs.
    std::mutex mutex_;
    bool anchored_ = false;
    SteadyTime anchorDue_{};
    std::int64_t anchorFrame_ = 0;
    const std::int16_t* samples_ = nullptr;
    std::size_t frames_ = 0;
    std::size_t position_ = 0;
    std::int64_t startFrame_ = 0;
    std::int64_t correction_ = 0;  // a slip made good, whose first sound placed after is not named yet
    SteadyTime::duration heardAfterDue_{};  // about how long after its due time the map's sounds are heard
    std::unique_ptr<OutputMoves> moves_;  // made as the stream first opens; none where it cannot be
    SoundFaultLog faults_{kSampleRate};
};
