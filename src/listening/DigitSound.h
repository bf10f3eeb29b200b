#pragma once

#include <cstdint>
#include <vector>

// The recording of `digit` (1 to 9) the program plays, its channels as one: what leaves the
// speakers when it is played, for the echo remover's reference. Empty where there is none.
std::vector<std::int16_t> digitSound(int digit);
