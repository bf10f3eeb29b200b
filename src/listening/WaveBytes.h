#pragma once

#include <QByteArray>

#include <cstdint>
#include <span>

// A RIFF/WAVE file image of 16-bit PCM at 44100 Hz: the microphone's mono samples, as one
// channel or on both of a stereo pair (as the output plays).
QByteArray waveBytes(std::span<const std::int16_t> mono, int channels);
