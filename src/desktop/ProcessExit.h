#pragma once

#include "desktop/ProgramEnder.h"

// Ends the process itself, without returning to the event loop, so nothing queued behind the
// caller runs; the sound server notices the closed stream by itself.
class ProcessExit final : public ProgramEnder {
public:
    void end() override;
};
