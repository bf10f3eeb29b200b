#include "sound/PreciseTimer.h"

#include <algorithm>

using namespace std::chrono;

PreciseTimer::PreciseTimer(QObject* parent) : PacingTimer(parent)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &PreciseTimer::onTimeout);
}

void PreciseTimer::start()
{
    if (active_)
        return;
    active_ = true;
    next_ = steady_clock::now() + milliseconds(interval_);
    arm();
}

void PreciseTimer::stop()
{
    active_ = false;
    timer_.stop();
}

void PreciseTimer::setInterval(int ms)
{
    interval_ = std::max(ms, 1);
    if (active_) {
        next_ = steady_clock::now() + milliseconds(interval_);
        arm();
    }
}

void PreciseTimer::arm()
{
    // Round up: a wake-up before the deadline would deliver the tick early.
    const auto wait = ceil<milliseconds>(next_ - steady_clock::now());
    timer_.start(static_cast<int>(std::max<milliseconds::rep>(wait.count(), 0)));
}

void PreciseTimer::onTimeout()
{
    if (!active_)
        return;
    current_ = next_;
    next_ += milliseconds(interval_);
    arm();
    emit ticked();
}
