#pragma once

#include "platform/WaveImage.h"

// Where PlaySoundA sends its sounds: the one output stream of the program.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // Starts `sound` from its first frame, cutting off whatever was playing. Returns false when
    // there is no usable output or the sound is not in the stream's format. The samples are read
    // in place until the next start(); once start() has returned, the samples of the sound before
    // are never read again, so their owner may free them.
    virtual bool start(const WaveImage& sound) = 0;
};
