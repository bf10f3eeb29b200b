#pragma once

#include "sound/PlacedOutput.h"
#include "sound/SoundRecorder.h"

#include <memory>

class SoundRoute;

// Makes the outputs and recorders of each way to the server; each gives nothing where it cannot
// be made. Those on ALSA's default device lay out their streams by `route`'s last decision, and
// keep a reference to it.
class SoundBackends {
public:
    virtual ~SoundBackends() = default;
    // Plays through PipeWire's own interface.
    virtual std::unique_ptr<PlacedOutput> pipeWireOutput() = 0;
    // Records the microphone, and the speakers beside it, through PipeWire's own interface.
    virtual std::unique_ptr<SoundRecorder> pipeWireInput() = 0;
    // Plays, and records, through ALSA's "default" device.
    virtual std::unique_ptr<PlacedOutput> alsaOutput(const SoundRoute& route) = 0;
    virtual std::unique_ptr<SoundRecorder> alsaInput(const SoundRoute& route) = 0;
};
