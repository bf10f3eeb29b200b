#include "desktop/ProgramEnder.h"

#include <cstdio>
#include <unistd.h>

namespace {
ProgramEnder* g_ender = nullptr;
}

void setProgramEnder(ProgramEnder* ender)
{
    g_ender = ender;
}

void endProgram()
{
    if (g_ender) {
        g_ender->end();
        return;
    }
    // The process ends here, without returning to the event loop, so nothing queued behind this
    // handler runs; the sound server notices the closed stream by itself.
    std::fflush(nullptr);
    ::_exit(0);
}
