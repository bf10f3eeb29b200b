#pragma once

#include "desktop/Beeper.h"

// Counts beeps instead of sounding them.
struct BeepCounter final : Beeper {
    void beep() override { ++beeps; }
    int beeps = 0;
};
