#include "sound/CaptureTake.h"

#include "sound/Median.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Buffers whose time is kept: more than a check's recording holds at 256 frames a buffer.
constexpr std::size_t kMostStarts = 1 << 14;

}  // namespace

void CaptureTake::reset(int seconds)
{
    capacity_ = std::size_t(seconds) * kSampleRate;
    samples_.reset(new std::int16_t[capacity_ * kChannels]);
    frames_ = 0;
    starts_.assign(kMostStarts, 0);
    startCount_ = 0;
    captures_.assign(kMostStarts, 0);
    captureCount_ = 0;
}

bool CaptureTake::append(const std::int16_t* samples, std::size_t frames, double seconds, std::int64_t capturedNs)
{
    const std::size_t at = frames_.load();
    const std::size_t n = std::min(frames, capacity_ - at);
    if (samples)
        std::memcpy(samples_.get() + at * kChannels, samples, n * kChannels * sizeof(std::int16_t));
    else
        std::memset(samples_.get() + at * kChannels, 0, n * kChannels * sizeof(std::int16_t));
    const std::size_t count = startCount_.load();
    if (std::isfinite(seconds) && n > 0 && count < starts_.size()) {
        starts_[count] = seconds - double(at) / kSampleRate;
        startCount_.store(count + 1);
    }
    if (const std::size_t told = captureCount_.load(); capturedNs != kNotTold && n > 0 && told < captures_.size()) {
        captures_[told] = capturedNs - std::int64_t(double(at) * 1e9 / kSampleRate);
        captureCount_.store(told + 1);
    }
    frames_.store(at + n);
    return at + n < capacity_;
}

QByteArray CaptureTake::take()
{
    const QByteArray recording = samples_ ? QByteArray(reinterpret_cast<const char*>(samples_.get()),
                                                       qsizetype(frames_.load() * kChannels * sizeof(std::int16_t)))
                                          : QByteArray();
    samples_.reset();
    capacity_ = 0;
    frames_ = 0;
    return recording;
}

QByteArray CaptureTake::copyFrom(std::size_t from) const
{
    const std::size_t frames = std::min(frames_.load(), capacity_);
    if (from >= frames)
        return {};
    return QByteArray(reinterpret_cast<const char*>(samples_.get() + from * kChannels),
                      qsizetype((frames - from) * kChannels * sizeof(std::int16_t)));
}

double CaptureTake::firstFrameSeconds() const
{
    return median(std::vector<double>(starts_.begin(), starts_.begin() + std::ptrdiff_t(startCount_.load())));
}

std::optional<SteadyTime> CaptureTake::firstFrameCaptured() const
{
    const std::size_t told = captureCount_.load();
    if (told == 0)
        return std::nullopt;
    std::vector<std::int64_t> said(captures_.begin(), captures_.begin() + std::ptrdiff_t(told));
    std::nth_element(said.begin(), said.begin() + std::ptrdiff_t(told / 2), said.end());
    return SteadyTime(std::chrono::nanoseconds(said[told / 2]));
}
