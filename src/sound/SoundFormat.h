#pragma once

// The one format the program plays and records in: its digit recordings are made in it, and every
// stream is opened in it, so that no sound is ever resampled by the program.
inline constexpr int kSampleRate = 44100;
inline constexpr int kChannels = 2;                // interleaved stereo
inline constexpr int kFrameBytes = kChannels * 2;  // 16-bit samples
