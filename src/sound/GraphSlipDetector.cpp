#include "sound/GraphSlipDetector.h"
#include "sound/SoundFormat.h"

#include <algorithm>

SoundPlacement::Slip GraphSlipDetector::feed(double graph, std::int64_t first, std::int64_t cycleNs)
{
    SoundPlacement::Slip slip;
    const bool known = cycleNs != 0 && lastCycleNs_ != 0;
    if (!std::isnan(lastGraph_) && known) {
        const double late = double(cycleNs - lastCycleNs_) * kSampleRate / 1e9 - double(first - lastFirst_);
        if (std::fabs(late) >= kLateShare * double(first - lastFirst_)) {
            lateFrames_ = late;
            sinceLate_ = 0;
        } else {
            sinceLate_ = std::min(sinceLate_ + 1, kLateBuffers + 1);
        }
    }
    lastFrames_ = first - lastFirst_;
    if (!std::isnan(lastGraph_) && std::fabs(graph - lastGraph_) >= kMinStepFrames) {
        const double step = graph - lastGraph_;
        const bool covered = sinceLate_ <= kLateBuffers && step * lateFrames_ > 0
                             && std::fabs(step) <= std::fabs(lateFrames_) * (1 + kLateShare) + double(lastFrames_) * kLateShare;
        if (!known || covered) {
            // Whole frames, the part of one left over carried to the next: a cycle of the graph
            // at 48 kHz is 940.8 of these frames, and several of them add up exactly.
            slip = {std::llround(step + carry_), lastFirst_};
            carry_ += step - double(slip.frames);
            sinceLate_ = kLateBuffers + 1;  // one hold-up, one slip
        }
    }
    lastGraph_ = graph;
    lastFirst_ = first;
    lastCycleNs_ = cycleNs;
    return slip;
}
