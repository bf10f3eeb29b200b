#pragma once

#include <QString>
#include <string>

// What the route asks of the machine to decide the way sound takes.
class SoundServerProbe {
public:
    virtual ~SoundServerProbe() = default;
    // The type of ALSA's "default" PCM device as configured now ("pulse", "pipewire", ...);
    // empty when unknown.
    virtual std::string alsaDefaultType() = 0;
    // The name the server behind ALSA's pulse plugin gives itself, with its version; empty where
    // no server answers. May take up to two seconds.
    virtual QString serverName() = 0;
};
