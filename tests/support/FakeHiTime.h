#pragma once

#include "platform/HiTime.h"
#include "platform/TickTime.h"

// A HiTime whose ticks come only from tick(): the test is the clock.
class FakeHiTime final : public HiTime {
    Q_OBJECT
public:
    using HiTime::HiTime;

    bool Enabled() const override { return enabled_; }
    void setEnabled(bool on) override
    {
        if (on && !enabled_)
            due_ = now_ + std::chrono::milliseconds(interval_);
        enabled_ = on;
    }
    int Interval() const override { return interval_; }
    void setInterval(qint16 ms) override { interval_ = ms; }
    // The tick being delivered (or the last one), as the real timer reports it.
    Clock::time_point dueTime() const override { return now_; }

    // Delivers one tick when enabled, as the real timer would one interval after the last;
    // returns whether a tick was delivered.
    bool tick()
    {
        if (!enabled_)
            return false;
        now_ = due_;
        due_ += std::chrono::milliseconds(interval_);
        TickScope tick(now_);
        emit Timer();
        return true;
    }

private:
    bool enabled_ = false;
    int interval_ = 2400;
    Clock::time_point now_{};  // the fake clock: the due time of the last tick
    Clock::time_point due_{};  // of the next tick
};
