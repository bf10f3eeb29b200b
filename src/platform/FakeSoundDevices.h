#pragma once

#include "platform/SoundDevices.h"

// Gives back names set beforehand.
struct FakeSoundDevices final : SoundDevices {
    Names names() override { return given; }
    Names given;
};
