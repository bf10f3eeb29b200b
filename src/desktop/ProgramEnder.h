#pragma once

// Ends the program at once: no further handler of any window and no pending timer tick runs.
// Settings are written before this is called; nothing else is saved.
class ProgramEnder {
public:
    virtual ~ProgramEnder() = default;
    virtual void end() = 0;
};
