#include "sound/PlacedOutput.h"

#include <utility>

bool PlacedOutput::open()
{
    if (hasStream())
        return true;
    const SteadyTime now = clock_->now();
    if (failedAt_ && now - *failedAt_ < kRetryInterval)
        return false;
    if (!tryOpen()) {
        failedAt_ = now;
        return false;
    }
    failedAt_.reset();
    if (moves_)
        moves_->start();
    renderedAtCheck_ = placement_.rendered();
    checkedAt_ = clock_->now();
    return true;
}

// Whether the stream still plays: the server runs it and its frame count moves.
bool PlacedOutput::running()
{
    if (!hasStream() || !streaming())
        return false;
    const SteadyTime now = clock_->now();
    const std::int64_t rendered = placement_.rendered();
    const bool stalled = rendered == renderedAtCheck_ && now - checkedAt_ > kStallLimit;
    renderedAtCheck_ = rendered;
    checkedAt_ = now;
    return !stalled;
}

void PlacedOutput::endStream()
{
    closeStream();
    if (moves_)
        moves_->stop();
    noteMoves();
    placement_.forgetReroute();
    placement_.stop();
}

void PlacedOutput::close()
{
    if (hasStream())
        endStream();
    failedAt_.reset();
    afterStop_ = false;
}

bool PlacedOutput::start(const WaveImage& sound, SteadyTime due)
{
    if (sound.channels != kChannels || sound.sampleRate != kSampleRate)
        return false;
    if (hasStream() && !running()) {
        endStream();
        afterStop_ = true;
    }
    if (!open()) {
        placement_.notPlayed(due);
        return false;
    }
    noteMoves();
    placement_.place(sound, due, std::exchange(afterStop_, false));
    return true;
}

void PlacedOutput::noteMoves()
{
    if (moves_)
        placement_.rerouted(moves_->take());
}

std::vector<SoundFault> PlacedOutput::takeFaults()
{
    noteMoves();
    return placement_.takeFaults();
}

std::chrono::nanoseconds PlacedOutput::heardAfterDue() const
{
    if (!hasStream())
        return {};
    const double seconds = double(placement_.leadFrames()) / kSampleRate + streamLatency();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(seconds));
}
