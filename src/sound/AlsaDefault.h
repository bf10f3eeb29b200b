#pragma once

#include <string>

// The type of ALSA's "default" PCM device as configured ("pulse" for PulseAudio's plugin, which
// also reaches PipeWire's PulseAudio service, "pipewire" for PipeWire's own); empty when unknown.
std::string alsaDefaultType();
