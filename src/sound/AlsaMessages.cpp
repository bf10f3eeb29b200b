#include "sound/AlsaMessages.h"

#include <alsa/asoundlib.h>

namespace {
void ignore(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

void silenceAlsaMessages()
{
    snd_lib_error_set_handler(&ignore);
}
