#include "sound/SlipDetector.h"

#include <algorithm>
#include <cmath>

double SlipDetector::median(int from, int to) const
{
    std::array<double, 2 * kMaxWindow> window;
    const int n = to - from;
    for (int i = 0; i < n; ++i)
        window[i] = offsets_[(head_ + from + i) % (2 * window_)];
    auto middle = window.begin() + n / 2;
    std::nth_element(window.begin(), middle, window.begin() + n);
    return *middle;
}

std::int64_t SlipDetector::forget()
{
    const std::int64_t pending = unreported();
    reset(believeLateCalls_, window_);
    return pending;
}

// Where a sign came lately, the step between the buffers before it and those from it on: a slip
// whose window has not filled yet. A step that is settling is taken from before it.
std::int64_t SlipDetector::unreported()
{
    if (sinceSign_ > 3 * window_)
        return 0;
    const int signAt = count_ - 1 - sinceSign_;  // may lie before a settling step's window
    const int afterFrom = std::max(signAt, 0);
    if (afterFrom >= count_ || (!settling_ && afterFrom == 0))
        return 0;
    const double before = settling_ ? reference_ : median(std::max(0, afterFrom - window_), afterFrom);
    const double step = median(afterFrom, count_) - before;
    if (std::fabs(step) < kMinSlip)
        return 0;
    slipFrom_ = frames_[(head_ + std::max(afterFrom - 1, 0)) % (2 * window_)];
    return std::llround(step);
}

std::int64_t SlipDetector::feed(std::int64_t frame, double calledAt, double heardAt, bool underflowed)
{
    // Late enough to have underrun: asked for after what was queued ahead at the buffer before
    // (its heard time less its call) had run out. One later than usual with more than that
    // queued lost nothing, whatever the reports do meanwhile.
    const bool lateCall = believeLateCalls_ && lastCall_ > 0 && calledAt - lastCall_ > double(frame - lastFrame_) + kLateCall
                          && calledAt - lastCall_ > lastHeard_ - lastCall_;
    lastCall_ = calledAt;
    lastHeard_ = heardAt;
    lastFrame_ = frame;
    sinceSign_ = underflowed || lateCall ? 0 : std::min(sinceSign_ + 1, kNever);
    const int size = 2 * window_;
    offsets_[(head_ + count_) % size] = heardAt - double(frame);
    frames_[(head_ + count_) % size] = frame;
    if (count_ < size)
        ++count_;
    else
        head_ = (head_ + 1) % size;

    if (settling_) {
        if (count_ < window_)
            return 0;
        // A window wholly past the step gives its size; a step that has gone again was none.
        settling_ = false;
        const double slip = median(0, window_) - reference_;
        const bool underran = sinceSign_ <= 3 * window_;  // since the older window began
        if (std::fabs(slip) < kMinSlip || !underran)
            return 0;
        sinceSign_ = kNever;  // one underrun, one slip: what follows is the recovery
        return std::llround(slip);
    }
    if (count_ < size)
        return 0;
    const double older = median(0, window_);
    if (std::fabs(median(window_, 2 * window_) - older) >= kMinSlip) {
        settling_ = true;
        reference_ = older;
        slipFrom_ = frames_[(head_ + window_) % size];
        count_ = 0;
    }
    return 0;
}
