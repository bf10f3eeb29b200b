#pragma once

#include <chrono>

// Moments on the monotonic clock that the pacing timers and the sound output share.
using SteadyTime = std::chrono::steady_clock::time_point;
