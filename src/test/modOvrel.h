#pragma once

#include <QByteArray>

// Starts the recording of `digit` (1 to 9) and returns at once while it plays on: nonzero when
// the sound was started, 0 when it was not (no output device, no such recording).
int PlayDigit(int digit);

// The WAVE image of the digit started last, which may still be sounding; empty before the first.
const QByteArray& DigitSound();
