#pragma once

// The most digits one message to the examiner names (the notice after a run, the timing check's
// verdict, the record sheet's delivery line); it counts the rest.
inline constexpr int kMostDigitsNamed = 6;
