#include "platform/QtHiTime.h"

#include "platform/TickTime.h"

#include <algorithm>

using namespace std::chrono;

QtHiTime::QtHiTime(QObject* parent) : HiTime(parent)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &QtHiTime::onTimeout);
}

void QtHiTime::setEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    if (on) {
        next_ = Clock::now() + milliseconds(interval_);
        arm();
    } else {
        timer_.stop();
    }
}

void QtHiTime::setInterval(qint16 ms)
{
    interval_ = std::max<int>(ms, 1);
    if (enabled_) {
        next_ = Clock::now() + milliseconds(interval_);
        arm();
    }
}

void QtHiTime::arm()
{
    // Round up: a wake-up before the deadline would deliver the tick early.
    const auto wait = ceil<milliseconds>(next_ - Clock::now());
    timer_.start(static_cast<int>(std::max<milliseconds::rep>(wait.count(), 0)));
}

void QtHiTime::onTimeout()
{
    if (!enabled_)
        return;
    current_ = next_;
    next_ += milliseconds(interval_);
    arm();
    TickScope tick(current_);
    emit Timer();
}
