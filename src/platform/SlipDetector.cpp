#include "platform/SlipDetector.h"

#include <algorithm>
#include <cmath>

double SlipDetector::median(int from) const
{
    std::array<double, kWindow> window;
    for (int i = 0; i < kWindow; ++i)
        window[i] = offsets_[(head_ + from + i) % offsets_.size()];
    auto middle = window.begin() + kWindow / 2;
    std::nth_element(window.begin(), middle, window.end());
    return *middle;
}

std::int64_t SlipDetector::feed(std::int64_t frame, double calledAt, double heardAt, bool underflowed)
{
    const bool lateCall
        = believeLateCalls_ && lastCall_ > 0 && calledAt - lastCall_ > double(frame - lastFrame_) + kLateCall;
    lastCall_ = calledAt;
    lastFrame_ = frame;
    sinceSign_ = underflowed || lateCall ? 0 : std::min(sinceSign_ + 1, kNever);
    const int size = int(offsets_.size());
    offsets_[(head_ + count_) % size] = heardAt - double(frame);
    frames_[(head_ + count_) % size] = frame;
    if (count_ < size)
        ++count_;
    else
        head_ = (head_ + 1) % size;

    if (settling_) {
        if (count_ < kWindow)
            return 0;
        // A window wholly past the step gives its size; a step that has gone again was none.
        settling_ = false;
        const double slip = median(0) - reference_;
        const bool underran = sinceSign_ <= 3 * kWindow;  // since the older window began
        if (std::fabs(slip) < kMinSlip || !underran)
            return 0;
        sinceSign_ = kNever;  // one underrun, one slip: what follows is the recovery
        return std::llround(slip);
    }
    if (count_ < size)
        return 0;
    const double older = median(0);
    if (std::fabs(median(kWindow) - older) >= kMinSlip) {
        settling_ = true;
        reference_ = older;
        slipFrom_ = frames_[(head_ + kWindow) % size];
        count_ = 0;
    }
    return 0;
}
