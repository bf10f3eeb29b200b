#pragma once

#include "sound/PlacedOutput.h"
#include "sound/SoundDevices.h"
#include "sound/SoundRecorder.h"

#include <memory>

// What plays and records sound, and what speaks the sound servers' own protocols (PulseAudio's and
// PipeWire's), is built as a module of its own and loaded the first time any of it is asked for:
// PortAudio and the servers' client libraries, and all they pull in, then cost nothing at
// start-up. The module lies beside the program as installed
// (lib/ovrel under its prefix), or in the build folder. Each gives nothing where the module
// cannot be loaded.
class BackendModule {
public:
    static std::unique_ptr<SoundDevices> soundDevices();
    // Records the microphone, and the speakers beside it, through PipeWire's own interface.
    static std::unique_ptr<SoundRecorder> pipeWireInput();
    // Plays through PipeWire's own interface.
    static std::unique_ptr<PlacedOutput> pipeWireOutput();
    // Plays, and records, through ALSA's "default" device.
    static std::unique_ptr<PlacedOutput> alsaOutput();
    static std::unique_ptr<SoundRecorder> alsaInput();
};
