#pragma once

#include "sound/SoundDevices.h"

// Asks over the PulseAudio protocol (PulseAudio, or PipeWire's PulseAudio service) for the
// server's name and the descriptions of its default sink and source. Gives up after two seconds,
// or at once where no such server answers (PipeWire reached through its own ALSA plugin alone).
// A question within a second of the last takes its answer.
class PulseSoundDevices final : public SoundDevices {
public:
    Names names() override;

private:
    static Names ask();
};
