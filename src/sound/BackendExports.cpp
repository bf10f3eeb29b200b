// The server-client module's entry points (see BackendModule).
#include "sound/pipewire/PipeWireInput.h"
#include "sound/pipewire/PipeWireOutput.h"
#include "sound/portaudio/PortAudioInput.h"
#include "sound/portaudio/PortAudioOutput.h"
#include "sound/pulse/PulseSoundDevices.h"

extern "C" {

__attribute__((visibility("default"))) SoundDevices* ovrel_make_sound_devices()
{
    return new PulseSoundDevices;
}

__attribute__((visibility("default"))) SoundRecorder* ovrel_make_pipewire_input()
{
    return new PipeWireInput;
}

__attribute__((visibility("default"))) PlacedOutput* ovrel_make_pipewire_output()
{
    return new PipeWireOutput;
}

__attribute__((visibility("default"))) PlacedOutput* ovrel_make_alsa_output(const SoundRoute* route)
{
    return new PortAudioOutput(*route);
}

__attribute__((visibility("default"))) SoundRecorder* ovrel_make_alsa_input(const SoundRoute* route)
{
    return new PortAudioInput(*route);
}
}
