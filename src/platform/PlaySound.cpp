#include "platform/PlaySound.h"

#include "platform/PortAudioOutput.h"

namespace {
SoundOutput* g_output = nullptr;
}

void setSoundOutput(SoundOutput* output)
{
    g_output = output;
}

SoundOutput& soundOutput()
{
    return g_output ? *g_output : PortAudioOutput::instance();
}

int PlaySoundA(const void* sound, void* /*module*/, unsigned flags)
{
    if (flags != (SND_ASYNC | SND_MEMORY))
        return 0;
    WaveImage image;
    if (!WaveImage::parse(sound, image))
        return 0;
    // Inside a timer tick the sound belongs to the tick's due time, not to this moment.
    const SteadyTime due = currentTickDue().value_or(std::chrono::steady_clock::now());
    return soundOutput().start(image, due) ? 1 : 0;
}
