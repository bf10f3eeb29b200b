#pragma once

#include "sound/SoundDevices.h"

// Gives back names set beforehand.
struct FakeSoundDevices final : SoundDevices {
    Names names() override { return given; }
    Names given;
};
