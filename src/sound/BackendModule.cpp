#include "sound/BackendModule.h"

#include "sound/BackendExports.h"

#include "sound/ModuleOpening.h"

#include <dlfcn.h>


namespace {

// Loaded once and never let go: what it made may live until the process ends.
void* module()
{
    static void* const handle = openModule(OVREL_BACKENDS_FROM_PROGRAM, OVREL_BACKENDS_BUILT);
    return handle;
}

template <typename Made, typename... Arguments>
std::unique_ptr<Made> make(const char* maker, Arguments... arguments)
{
    void* loaded = module();
    const auto function = loaded ? reinterpret_cast<Made* (*)(Arguments...)>(dlsym(loaded, maker)) : nullptr;
    return std::unique_ptr<Made>(function ? function(arguments...) : nullptr);
}

}  // namespace

BackendModule& BackendModule::instance()
{
    static BackendModule backends;
    return backends;
}

std::unique_ptr<SoundDevices> BackendModule::soundDevices()
{
    return make<SoundDevices>(kMakeSoundDevices);
}

std::unique_ptr<SoundRecorder> BackendModule::pipeWireInput()
{
    return make<SoundRecorder>(kMakePipeWireInput);
}

std::unique_ptr<PlacedOutput> BackendModule::pipeWireOutput()
{
    return make<PlacedOutput>(kMakePipeWireOutput);
}

std::unique_ptr<PlacedOutput> BackendModule::alsaOutput(const SoundRoute& route)
{
    return make<PlacedOutput>(kMakeAlsaOutput, &route);
}

std::unique_ptr<SoundRecorder> BackendModule::alsaInput(const SoundRoute& route)
{
    return make<SoundRecorder>(kMakeAlsaInput, &route);
}
