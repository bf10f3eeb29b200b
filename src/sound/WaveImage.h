#pragma once

#include <cstddef>
#include <cstdint>

// The PCM samples of a complete in-memory WAVE file image, read in place (nothing is copied).
struct WaveImage {
    const std::int16_t* samples = nullptr;  // interleaved
    std::size_t frames = 0;
    int channels = 0;
    int sampleRate = 0;

    // Reads a RIFF/WAVE image of 16-bit PCM from the `size` bytes at `image`. Returns false for
    // anything else (not RIFF/WAVE, no "fmt " or "data" chunk, another encoding, a chunk running
    // past the RIFF extent or past the bytes given).
    static bool parse(const void* image, std::size_t size, WaveImage& out);
};
