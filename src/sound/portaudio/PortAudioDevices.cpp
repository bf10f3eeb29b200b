#include "sound/portaudio/PortAudioDevices.h"

#include <cstdlib>
#include <cstring>

PaDeviceIndex alsaDefaultDevice(bool input)
{
    const PaHostApiIndex api = Pa_HostApiTypeIdToHostApiIndex(paALSA);
    if (api < 0)
        return paNoDevice;
    const PaHostApiInfo* info = Pa_GetHostApiInfo(api);
    for (int i = 0; i < info->deviceCount; ++i) {
        const PaDeviceIndex device = Pa_HostApiDeviceIndexToDeviceIndex(api, i);
        const PaDeviceInfo* d = Pa_GetDeviceInfo(device);
        if (d && (input ? d->maxInputChannels : d->maxOutputChannels) > 0 && std::strcmp(d->name, "default") == 0)
            return device;
    }
    return input ? info->defaultInputDevice : info->defaultOutputDevice;
}

StreamEnvironment::StreamEnvironment(const char* name, const char* value, bool wanted)
    : name_(name), set_(wanted && !std::getenv(name) && ::setenv(name, value, 0) == 0)
{
}

StreamEnvironment::~StreamEnvironment()
{
    if (set_)
        ::unsetenv(name_);
}
