#include "sound/portaudio/QuietStderr.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

QuietStderr::QuietStderr()
{
    std::fflush(stderr);
    saved_ = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, STDERR_FILENO);
        ::close(null);
    }
}

QuietStderr::~QuietStderr()
{
    std::fflush(stderr);
    if (saved_ >= 0) {
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
}
