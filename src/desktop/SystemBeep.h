#pragma once

#include "desktop/Beeper.h"

// The desktop's own beep.
class SystemBeep final : public Beeper {
public:
    void beep() override;
};
