#pragma once

#include <cstddef>
#include <cstdint>

// The PCM samples of a complete in-memory WAVE file image, read in place (nothing is copied).
struct WaveImage {
    const std::int16_t* samples = nullptr;  // interleaved
    std::size_t frames = 0;
    int channels = 0;
    int sampleRate = 0;

    // Reads a RIFF/WAVE image of 16-bit PCM whose extent is given by its own RIFF size field.
    // Returns false for anything else (null, not RIFF/WAVE, no "fmt " or "data" chunk, another
    // encoding, a chunk running past the RIFF extent).
    static bool parse(const void* image, WaveImage& out);
};
