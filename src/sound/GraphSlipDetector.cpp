#include "sound/GraphSlipDetector.h"

SoundPlacement::Slip GraphSlipDetector::feed(double graph, std::int64_t first)
{
    SoundPlacement::Slip slip;
    if (!std::isnan(lastGraph_) && std::fabs(graph - lastGraph_) >= kMinStepFrames)
        slip = {std::llround(graph - lastGraph_), lastFirst_};
    lastGraph_ = graph;
    lastFirst_ = first;
    return slip;
}
