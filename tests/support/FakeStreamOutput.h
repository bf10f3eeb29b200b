#pragma once

#include "sound/PlacedOutput.h"
#include "sound/SlipDetector.h"

#include <vector>

// A placed output whose stream is a buffer the test renders by hand, on a clock the test sets.
// Every frame rendered is appended to `heard`. Slips are told as the backends tell them: a
// detector fed with when each buffer is heard, forgotten when the placement takes a new map.
class FakeStreamOutput final : public PlacedOutput {
public:
    static constexpr std::int64_t kLeadFrames = kSampleRate / 5;
    static constexpr double kLatencySeconds = 0.05;
    static constexpr std::int64_t kSlipGrain = 1024;  // the steps its reports may show with nothing lost

    explicit FakeStreamOutput(std::shared_ptr<const SteadyClock> clock, std::unique_ptr<OutputMoves> moves = nullptr)
        : PlacedOutput(std::move(moves), std::move(clock))
    {
    }

    // One buffer of `frames`, whose first frame is heard at `heardAt` (in frames; 0: the stream
    // cannot tell). It starts out as noise, which the placement must overwrite.
    void render(std::size_t frames, double heardAt = 0, bool underflowed = false)
    {
        if (placement_.mapChanged())
            placement_.forgotten({slips_.forget(), slips_.slipFrom()});
        const std::int64_t first = placement_.rendered();
        const std::int64_t slip = heardAt > 0 ? slips_.feed(first, double(first), heardAt, underflowed) : 0;
        std::vector<std::int16_t> buffer(frames * kChannels, 0x5a5a);
        placement_.render(buffer.data(), frames, {slip, slips_.slipFrom(), kSlipGrain});
        heard.insert(heard.end(), buffer.begin(), buffer.end());
    }

    double streamLatency() const override { return kLatencySeconds; }
    bool hasStream() const override { return open_; }

    bool openable = true;    // whether tryOpen() succeeds
    bool serverRuns = true;  // what streaming() says
    int attempts = 0;        // calls of tryOpen()
    int closes = 0;
    std::vector<std::int16_t> heard;

protected:
    bool tryOpen() override
    {
        ++attempts;
        if (!openable)
            return false;
        open_ = true;
        slips_.reset(true, 4);
        placement_.restart(kLeadFrames, kLatencySeconds);
        return true;
    }
    bool streaming() const override { return serverRuns; }
    void closeStream() override
    {
        ++closes;
        open_ = false;
    }

private:
    bool open_ = false;
    SlipDetector slips_;
};
