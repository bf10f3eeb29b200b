#pragma once

#include "platform/Mixer.h"

#include <QStringList>

// A master volume in memory, installed for its lifetime: a settable maximum and level, a
// failure at any step, and a log of what was asked of it.
class FakeMixer final : public MixerBackend {
public:
    FakeMixer() { setMixerBackend(this); }
    ~FakeMixer() override { setMixerBackend(nullptr); }

    bool open() override
    {
        log << "open";
        opened += !failOpen;
        isOpen = !failOpen;
        return !failOpen;
    }
    void close() override
    {
        log << "close";
        closed += isOpen;
        isOpen = false;
    }
    std::int32_t maximum() override { return hasControl ? max : 0; }
    bool read(std::uint32_t& value) override
    {
        log << "read";
        value = level;
        return !failRead;
    }
    bool write(std::uint32_t value) override
    {
        log << QStringLiteral("write %1").arg(value);
        if (failWrite)
            return false;
        level = value;
        return true;
    }

    std::int32_t max = 65535;
    std::uint32_t level = 0;
    bool failOpen = false, hasControl = true, failRead = false, failWrite = false;
    bool isOpen = false;
    int opened = 0, closed = 0;
    QStringList log;
};
