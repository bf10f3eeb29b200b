#pragma once

// The makers the server-client module exports, by the names the program looks them up by. Each
// returns a new object that the caller owns; those on ALSA's default device take the route
// whose decisions they follow (SoundBackends).
inline constexpr const char* kMakeSoundDevices = "ovrel_make_sound_devices";
inline constexpr const char* kMakePipeWireInput = "ovrel_make_pipewire_input";
inline constexpr const char* kMakePipeWireOutput = "ovrel_make_pipewire_output";
inline constexpr const char* kMakeAlsaOutput = "ovrel_make_alsa_output";
inline constexpr const char* kMakeAlsaInput = "ovrel_make_alsa_input";
