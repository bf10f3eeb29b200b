#pragma once

#include "sound/PacingTimer.h"

#include <QTimer>

// A pacing timer on a precise single-shot QTimer. Each deadline is the previous deadline plus the
// interval, so a handler's own lateness never accumulates. Ticks that fell due while the event
// loop was blocked are delivered late, one after another, never dropped.
class PreciseTimer final : public PacingTimer {
    Q_OBJECT
public:
    explicit PreciseTimer(QObject* parent = nullptr);

    bool isActive() const override { return active_; }
    void start() override;
    void stop() override;
    int interval() const override { return interval_; }
    void setInterval(int ms) override;
    SteadyTime dueTime() const override { return current_; }

private:
    void arm();
    void onTimeout();

    QTimer timer_;
    bool active_ = false;
    int interval_ = 2400;
    SteadyTime next_{};
    SteadyTime current_{};
};
