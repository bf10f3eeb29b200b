#pragma once

#include <functional>

// The system beep for refused input. Tests replace it to count beeps; an empty function
// restores the real one.
void beep();
void setBeepHandler(std::function<void()> handler);
