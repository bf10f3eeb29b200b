#pragma once

#include "desktop/ProgramEnder.h"

// Counts the ends of the program instead of ending the process.
struct ProgramEndRecorder final : ProgramEnder {
    void end() override { ++ends; }
    int ends = 0;
};
