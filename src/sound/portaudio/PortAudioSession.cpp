#include "sound/portaudio/PortAudioSession.h"

#include "sound/AlsaMessages.h"
#include "sound/portaudio/PortAudioDevices.h"

#include <alsa/asoundlib.h>
#include <portaudio.h>

PortAudioSession::~PortAudioSession()
{
    if (started_)
        Pa_Terminate();
}

bool PortAudioSession::start(bool relistWithoutDefault)
{
    silenceAlsaMessages();
    if (started_ && relistWithoutDefault && alsaDefaultDevice(false) == paNoDevice) {
        Pa_Terminate();
        started_ = false;
        snd_config_update_free_global();
    }
    if (!started_)
        started_ = Pa_Initialize() == paNoError;
    return started_;
}
