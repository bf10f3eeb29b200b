#pragma once

#include "sound/SteadyTime.h"

#include <QByteArray>

class SoundOutput;

// Plays the digit recordings through the sound output. The output reads a sound from its bytes in
// place, so the player keeps the recording of the digit started last, unchanged, until the next
// one has started; on destruction it stops the output first.
class DigitPlayer {
public:
    explicit DigitPlayer(SoundOutput& output) : output_(output) {}
    ~DigitPlayer();
    DigitPlayer(const DigitPlayer&) = delete;
    DigitPlayer& operator=(const DigitPlayer&) = delete;

    // Starts the recording of `digit` (1 to 9) to be heard on `due`, and returns at once while it
    // plays on: true when it started, false when it did not (no output, no such recording).
    bool play(int digit, SteadyTime due);

    // The recording of the digit started last, which may still be sounding; empty before the first.
    const QByteArray& currentSound() const { return sound_; }

private:
    SoundOutput& output_;
    QByteArray sound_;
};
