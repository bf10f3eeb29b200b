#pragma once

#include "sound/PacingTimer.h"

#include <chrono>

// A pacing timer whose ticks come only from tick(): whoever calls it is the clock.
class FakePacingTimer final : public PacingTimer {
public:
    using PacingTimer::PacingTimer;

    bool isActive() const override { return active_; }
    void start() override
    {
        if (!active_)
            next_ = now_ + std::chrono::milliseconds(interval_);
        active_ = true;
    }
    void stop() override { active_ = false; }
    int interval() const override { return interval_; }
    void setInterval(int ms) override { interval_ = ms; }
    SteadyTime dueTime() const override { return now_; }

    // Delivers the next tick when active, as the real timer would one interval after the last;
    // returns whether one was delivered.
    bool tick()
    {
        if (!active_)
            return false;
        now_ = next_;
        next_ += std::chrono::milliseconds(interval_);
        emit ticked();
        return true;
    }

private:
    bool active_ = false;
    int interval_ = 2400;
    SteadyTime now_{};   // the due time of the last tick
    SteadyTime next_{};  // of the next one
};
