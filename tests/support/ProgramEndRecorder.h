#pragma once

#include "desktop/ProgramEnder.h"

// Counts the ends of the program instead of ending the process; installed for its lifetime.
struct ProgramEndRecorder final : ProgramEnder {
    ProgramEndRecorder() { setProgramEnder(this); }
    ~ProgramEndRecorder() override { setProgramEnder(nullptr); }
    void end() override { ++ends; }
    int ends = 0;
};
