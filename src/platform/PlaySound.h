#pragma once

class SoundOutput;

constexpr unsigned SND_ASYNC = 0x0001;   // return at once, play in the background
constexpr unsigned SND_MEMORY = 0x0004;  // `sound` points to a WAVE file image in memory

// Plays a complete in-memory WAVE image (flags SND_ASYNC | SND_MEMORY, the only combination
// supported): returns at once with nonzero when the sound was started, 0 when it was not (no
// output device, not a 16-bit PCM image of the output's format, other flags). A call cuts the
// previous sound off; see SoundOutput::start for the lifetime of the bytes. Called from a timer
// tick, the sound is placed on the tick's due time (see TickTime.h).
int PlaySoundA(const void* sound, void* module, unsigned flags);

// The output PlaySoundA plays through; the real stream unless replaced (tests). Not owned.
void setSoundOutput(SoundOutput* output);
SoundOutput& soundOutput();
