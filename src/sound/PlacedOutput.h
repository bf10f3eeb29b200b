#pragma once

#include "sound/SoundFormat.h"
#include "sound/MonotonicClock.h"
#include "sound/OutputMoves.h"
#include "sound/SoundOutput.h"
#include "sound/SoundPlacement.h"
#include "sound/TimeReportRing.h"

#include <atomic>

#include <memory>
#include <optional>

// A sound output of the real sound server, 44100 Hz, 16-bit stereo, which places its sounds with
// a SoundPlacement. Its stream runs from open() (or the first start()) to close(), writing
// silence between sounds; while it is closed the program holds nothing on the sound server. A
// stream that has stopped (the sound server went away, or its frame count stands still) is closed
// at the next start() and opened afresh; while it cannot be opened, start() fails at once and a
// new attempt is made every kRetryInterval. Moves of the stream to another output, where its
// `moves` can tell them, are watched while a stream is open and handed to the placement. What the
// placement did and how the stream was laid out can be read, for the benchmarks.
class PlacedOutput : public SoundOutput {
public:
    // `clock` is the one the sounds' due times are on.
    explicit PlacedOutput(std::unique_ptr<OutputMoves> moves = nullptr,
                          std::shared_ptr<const SteadyClock> clock = std::make_shared<MonotonicClock>())
        : clock_(std::move(clock)), moves_(std::move(moves))
    {
    }

    static constexpr std::chrono::milliseconds kRetryInterval{2000};
    // A stream whose frame count has not moved for this long has stopped.
    static constexpr std::chrono::milliseconds kStallLimit{500};

    bool open() override;
    // Whether a stream is open (it may have stopped since).
    virtual bool hasStream() const = 0;
    void close() override;
    bool start(const WaveImage& sound, SteadyTime due) override;
    void stop() override { placement_.stop(); }
    std::vector<SoundFault> takeFaults() override;

    // The lead the placement puts sounds ahead by, and the stream's latency.
    std::chrono::nanoseconds heardAfterDue() const override;

    const SoundPlacement& placement() const { return placement_; }
    // The stream's own latency estimate in seconds, once open.
    virtual double streamLatency() const = 0;
    // What the stream was told of its time with each of its latest buffers, and the verdicts.
    const TimeReportRing& timeReports() const { return reports_; }
    // For the benches: from the next buffer on, the stream's time reports are taken `frames`
    // later than the server tells them, as when a report changes with no gap in the sound.
    void plantReportStep(std::int64_t frames) { plantedStep_.fetch_add(frames); }

protected:
    // Opens and starts a stream, restarting the placement on it; on failure nothing is left open.
    virtual bool tryOpen() = 0;
    // Whether the server still runs the stream, as far as it says.
    virtual bool streaming() const = 0;
    // Ends the stream (the placement is then told by endStream()).
    virtual void closeStream() = 0;

private:
    const std::shared_ptr<const SteadyClock> clock_;  // before the placement, which reads it

protected:
    SoundPlacement placement_{kSampleRate, kChannels, *clock_};
    TimeReportRing reports_;  // written by the audio thread
    // From the audio thread, once a buffer: how many frames later than told its reports are to
    // be taken (see plantReportStep()), and whether that changed with this buffer.
    std::int64_t reportSkew(bool* stepped)
    {
        const std::int64_t planted = plantedStep_.exchange(0);
        *stepped = planted != 0;
        return skew_ += planted;
    }

private:
    bool running();
    // Ends the stream and whatever plays on it; a move seen on it says nothing of the next.
    void endStream();
    // Hands the placement the moves to another output seen since the last call.
    void noteMoves();

    std::unique_ptr<OutputMoves> moves_;
    std::optional<SteadyTime> failedAt_;
    // A stream stopped and no sound has been placed since: the next one placed, however many
    // attempts to open one failed before, comes on a stream opened afresh.
    bool afterStop_ = false;
    std::atomic<std::int64_t> plantedStep_{0};
    std::int64_t skew_ = 0;  // the audio thread's own
    std::int64_t renderedAtCheck_ = 0;
    SteadyTime checkedAt_{};
};
