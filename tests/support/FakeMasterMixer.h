#pragma once

#include "mixer/MasterMixer.h"

// A master volume in memory, with a failure at any step and a count of opens and closes.
struct FakeMasterMixer final : MasterMixer {
    bool open() override
    {
        isOpen = !failOpen;
        opened += isOpen;
        return isOpen;
    }
    void close() override
    {
        closed += isOpen;
        isOpen = false;
    }
    std::uint32_t maximum() override { return hasVolume ? max : 0; }
    bool read(std::uint32_t& value) override { return value = level, isOpen && !failRead; }
    bool write(std::uint32_t value) override
    {
        if (!isOpen || failWrite || value > maximum())
            return false;
        level = value;
        return true;
    }

    std::uint32_t max = 65535;
    std::uint32_t level = 0;
    bool failOpen = false, hasVolume = true, failRead = false, failWrite = false;
    bool isOpen = false;
    int opened = 0, closed = 0;
};
