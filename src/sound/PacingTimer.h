#pragma once

#include "sound/SteadyTime.h"

#include <QObject>
#include <functional>

// A timer that paces a run. While active it emits ticked() every interval() milliseconds on the
// thread that owns it, one tick at a time through its event loop; once stopped, no further tick
// is emitted. A new timer is stopped, with an interval of 2400 ms.
class PacingTimer : public QObject {
    Q_OBJECT
public:
    explicit PacingTimer(QObject* parent = nullptr) : QObject(parent) {}

    virtual bool isActive() const = 0;
    // The first tick comes one interval after start(); starting an active timer changes nothing.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual int interval() const = 0;
    // On an active timer the next tick comes one new interval from now.
    virtual void setInterval(int ms) = 0;

    // When the tick being emitted was due: its ideal moment on the timer's grid, whatever the
    // lateness of its delivery. Digits are placed on this grid.
    virtual SteadyTime dueTime() const = 0;

signals:
    void ticked();
};

// Makes a new timer owned by `parent`: the real program's are precise, the tests' fake.
using PacingTimerFactory = std::function<PacingTimer*(QObject* parent)>;
