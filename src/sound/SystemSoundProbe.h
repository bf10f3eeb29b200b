#pragma once

#include "sound/SoundServerProbe.h"

// Reads ALSA's configuration, and asks the server through the sound module (BackendModule).
class SystemSoundProbe final : public SoundServerProbe {
public:
    std::string alsaDefaultType() override;
    QString serverName() override;
};
