#pragma once

#include "sound/SoundOutput.h"

#include <utility>
#include <vector>

// Records what would have been played.
struct FakeSoundOutput final : SoundOutput {
    bool start(const WaveImage& sound, SteadyTime due) override
    {
        started.push_back(sound);
        dues.push_back(due);
        return available;
    }
    bool open() override
    {
        isOpen = available;
        return available;
    }
    void close() override { isOpen = false; }
    void stop() override { ++stops; }
    std::vector<SoundFault> takeFaults() override { return std::exchange(faults, {}); }
    std::chrono::nanoseconds heardAfterDue() const override { return heardAfter; }
    std::vector<WaveImage> started;
    std::vector<SteadyTime> dues;
    bool available = true;
    int stops = 0;
    bool isOpen = false;
    std::vector<SoundFault> faults;  // to be reported
    std::chrono::nanoseconds heardAfter{};
};
