#include "listening/MicrophoneJudge.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void MicrophoneJudge::restart(SteadyTime now)
{
    lastLoud_ = now;
    lastClipped_.reset();
    recentDb_.clear();
}

MicrophoneJudge::Verdict MicrophoneJudge::judge(const std::vector<std::int16_t>& mono, SteadyTime now)
{
    int peak = 0, clipped = 0;
    double energy = 0;
    for (const std::int16_t sample : mono) {
        peak = std::max(peak, std::abs(int(sample)));
        clipped += std::abs(int(sample)) >= 32767 ? 1 : 0;
        energy += double(sample) * sample;
    }
    levelDb_ = peak > 0 ? 20 * std::log10(peak / 32768.0) : -INFINITY;
    if (levelDb_ > -70)
        lastLoud_ = now;
    if (clipped > 4)
        lastClipped_ = now;
    recentDb_.push_back(10 * std::log10(energy / double(mono.size()) / (32768.0 * 32768.0) + 1e-12));
    if (recentDb_.size() > kRecentBlocks)
        recentDb_.pop_front();
    if (lastClipped_ && now - *lastClipped_ < kFor)
        return Verdict::Clipped;
    if (now - lastLoud_ > kFor)
        return Verdict::Silent;
    if (recentDb_.size() == kRecentBlocks && *std::min_element(recentDb_.begin(), recentDb_.end()) > kNoisyFromDb)
        return Verdict::Noisy;
    return Verdict::Fine;
}
