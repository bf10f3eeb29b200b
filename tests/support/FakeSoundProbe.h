#pragma once

#include "sound/SoundServerProbe.h"

// Tells the route what the test sets, and counts how often the server was asked.
struct FakeSoundProbe final : SoundServerProbe {
    std::string alsaDefaultType() override { return alsaType; }
    QString serverName() override
    {
        ++serverAsked;
        return server;
    }
    std::string alsaType;
    QString server;
    int serverAsked = 0;
};
