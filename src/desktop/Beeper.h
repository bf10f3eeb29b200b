#pragma once

// The beep for refused input.
class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};
