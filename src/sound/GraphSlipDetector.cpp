#include "sound/GraphSlipDetector.h"
#include "sound/SoundFormat.h"

#include <algorithm>

SoundPlacement::Slip GraphSlipDetector::feed(double graph, std::int64_t first, std::int64_t cycleNs)
{
    SoundPlacement::Slip slip;
    const bool known = cycleNs != 0 && lastCycleNs_ != 0;
    if (!std::isnan(lastGraph_) && known) {
        const double late = double(cycleNs - lastCycleNs_) * kSampleRate / 1e9 - double(first - lastFirst_);
        if (late >= kLateShare * double(first - lastFirst_)) {
            lateFrames_ = late;
            sinceLate_ = 0;
        } else {
            sinceLate_ = std::min(sinceLate_ + 1, kLateBuffers + 1);
        }
    }
    lastFrames_ = first - lastFirst_;
    if (!std::isnan(lastGraph_) && std::fabs(graph - lastGraph_) >= kMinStepFrames) {
        const double step = graph - lastGraph_;
        const bool covered = sinceLate_ <= kLateBuffers && std::fabs(step) <= lateFrames_ * (1 + kLateShare) + double(lastFrames_) * kLateShare;
        if (!known || covered) {
            slip = {std::llround(step), lastFirst_};
            sinceLate_ = kLateBuffers + 1;  // one hold-up, one slip
        }
    }
    lastGraph_ = graph;
    lastFirst_ = first;
    lastCycleNs_ = cycleNs;
    return slip;
}
