#pragma once

#include <QObject>
#include <chrono>

// A pacing timer. While Enabled, Timer() is raised every Interval milliseconds on the thread that
// owns the object, one tick at a time through its event loop; once Enabled goes false no further
// tick is raised. Both start as Enabled false, Interval 2400.
class HiTime : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    explicit HiTime(QObject* parent = nullptr) : QObject(parent) {}

    virtual bool Enabled() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual int Interval() const = 0;
    virtual void setInterval(qint16 ms) = 0;

    // When the tick being delivered was due. Inside a Timer() handler this is the ideal moment of
    // the tick, whatever the handler's own lateness; digits are placed on this grid.
    virtual Clock::time_point dueTime() const = 0;

signals:
    void Timer();
};
