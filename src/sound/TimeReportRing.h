#pragma once

#include "sound/TimeReport.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

// The last kCapacity time reports of an output stream, written by its audio thread, one per
// buffer, without allocating or locking; read by any other thread. A reader that falls more than
// kCapacity reports behind loses the oldest: since() says how many it lost.
class TimeReportRing {
public:
    static constexpr std::int64_t kCapacity = 1024;  // about 22 s of PipeWire's cycles, 47 s of 2048-frame buffers

    // From the audio thread.
    void add(const TimeReport& report)
    {
        const std::int64_t n = count_.load(std::memory_order_relaxed);
        reports_[std::size_t(n % kCapacity)] = report;
        count_.store(n + 1, std::memory_order_release);
    }
    // How many reports were ever added: the index the next one gets.
    std::int64_t count() const { return count_.load(std::memory_order_acquire); }
    // The reports from index `from` on that are still kept, oldest first; `lost` (if given) is
    // told how many from `from` on were no longer there.
    std::vector<TimeReport> since(std::int64_t from, std::int64_t* lost = nullptr) const;

private:
    std::array<TimeReport, kCapacity> reports_{};
    std::atomic<std::int64_t> count_{0};
};
