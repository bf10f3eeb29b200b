#pragma once

#include "platform/HiTime.h"

#include <QTimer>

// HiTime on a precise single-shot QTimer. The first tick comes one interval after enabling; each
// following deadline is the previous deadline plus the interval, so the handler's own lateness
// never accumulates. Ticks that fell due while the event loop was blocked are delivered late,
// one after another, never dropped.
class QtHiTime final : public HiTime {
    Q_OBJECT
public:
    explicit QtHiTime(QObject* parent = nullptr);

    bool Enabled() const override { return enabled_; }
    void setEnabled(bool on) override;
    int Interval() const override { return interval_; }
    void setInterval(qint16 ms) override;
    Clock::time_point dueTime() const override { return current_; }

private:
    void arm();
    void onTimeout();

    QTimer timer_;
    bool enabled_ = false;
    int interval_ = 2400;
    Clock::time_point next_{};
    Clock::time_point current_{};
};
