#pragma once

#include "sound/SoundBackends.h"
#include "sound/SoundDevices.h"

#include <memory>

// What plays and records sound, and what speaks the sound servers' own protocols (PulseAudio's and
// PipeWire's), is built as a module of its own and loaded the first time any of it is asked for:
// PortAudio and the servers' client libraries, and all they pull in, then cost nothing at
// start-up. The module lies beside the program as installed
// (lib/ovrel under its prefix), or in the build folder. Each gives nothing where the module
// cannot be loaded.
class BackendModule final : public SoundBackends {
public:
    // The module's makers; it holds no state of its own.
    static BackendModule& instance();

    static std::unique_ptr<SoundDevices> soundDevices();
    std::unique_ptr<PlacedOutput> pipeWireOutput() override;
    std::unique_ptr<SoundRecorder> pipeWireInput() override;
    std::unique_ptr<PlacedOutput> alsaOutput(const SoundRoute& route) override;
    std::unique_ptr<SoundRecorder> alsaInput(const SoundRoute& route) override;

private:
    BackendModule() = default;
};
