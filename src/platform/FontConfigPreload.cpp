#include "platform/FontConfigPreload.h"

#include <fontconfig/fontconfig.h>

// Qt later takes the same configuration, already loaded, as fontconfig's current one.
FontConfigPreload::FontConfigPreload() : reading_([] { FcInit(); }) {}

void FontConfigPreload::wait()
{
    if (reading_.joinable())
        reading_.join();
}
