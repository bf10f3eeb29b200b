#pragma once

#include <cstdint>

// The computer's master output volume, in raw steps from 0 to maximum().
class MasterMixer {
public:
    virtual ~MasterMixer() = default;
    // Opens the mixer; false when there is none.
    virtual bool open() = 0;
    virtual void close() = 0;
    // The top of the raw range while open; 0 when the mixer has no master volume.
    virtual std::uint32_t maximum() = 0;
    virtual bool read(std::uint32_t& level) = 0;
    // Sets every channel to `level`, at most maximum().
    virtual bool write(std::uint32_t level) = 0;
};
