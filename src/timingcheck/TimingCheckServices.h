#pragma once

#include "sound/PacingTimer.h"
#include "sound/SoundDevices.h"
#include "sound/SoundRecorder.h"

#include <functional>
#include <memory>

class SoundOutput;

// What the timing check's window plays, records, times and names the devices with; each
// outlives the window.
struct TimingCheckServices {
    SoundOutput& output;
    // A new recorder, for one opening of the window.
    std::function<std::unique_ptr<SoundRecorder>()> makeRecorder;
    // The sound server's names for the devices in use; null where the server cannot be asked.
    std::function<std::unique_ptr<SoundDevices>()> makeDevices;
    PacingTimerFactory makeTimer;
};
