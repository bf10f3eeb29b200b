#pragma once

#include "sound/SteadyTime.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

// What the microphone's sound says of it, block by block as it comes: its level, and whether it
// is clipped, silent, or in a room whose quietest moments over the last seconds are too loud for
// a voice to stand out of them.
class MicrophoneJudge {
public:
    enum class Verdict { Fine, Clipped, Silent, Noisy };

    // A clip or a silence counts for this long.
    static constexpr std::chrono::seconds kFor{3};

    // Judged from `now` on, as if something had been heard then.
    void restart(SteadyTime now);
    Verdict judge(const std::vector<std::int16_t>& mono, SteadyTime now);
    // The loudest of the last block, in dB of full scale; -inf: nothing heard.
    double levelDb() const { return levelDb_; }
    void quiet() { levelDb_ = -INFINITY; }

private:
    static constexpr std::size_t kRecentBlocks = 60;  // 3 s of 50 ms blocks
    static constexpr double kNoisyFromDb = -35;

    SteadyTime lastLoud_{};
    std::optional<SteadyTime> lastClipped_;
    std::deque<double> recentDb_;  // the level of each block, in dB of full scale
    double levelDb_ = -INFINITY;
};
