#pragma once

#include "sound/SoundServerProbe.h"
#include "sound/SoundWay.h"

#include <optional>

// The one place that decides which way the program's sound takes: PipeWire's own stream where
// ALSA's default device leads to PipeWire (its own plugin, or ALSA's pulse plugin in front of
// PipeWire's PulseAudio service), ALSA's default device otherwise. The server is asked for its
// name only where the pulse plugin leaves it open. The output decides as its stream opens (so a
// server that changes while the program runs is followed); the backends lay out their streams,
// and the recorder follows the output, by the decision last made.
class SoundRoute {
public:
    explicit SoundRoute(SoundServerProbe& probe) : probe_(probe) {}

    const SoundWay& decide();
    // The decision last made; none before any was.
    const std::optional<SoundWay>& last() const { return last_; }

private:
    SoundServerProbe& probe_;
    std::optional<SoundWay> last_;
};
