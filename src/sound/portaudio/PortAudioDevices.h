#pragma once

#include <portaudio.h>

// ALSA's "default" device among PortAudio's, for playing or for recording: the user's sound
// server on a desktop. Falls back to ALSA's own default; paNoDevice without ALSA.
PaDeviceIndex alsaDefaultDevice(bool input);

// Sets an environment variable that a sound server's client library reads when a stream opens,
// for as long as it lives, unless the user has set it: then the user's value stays.
class StreamEnvironment {
public:
    StreamEnvironment(const char* name, const char* value, bool wanted = true);
    ~StreamEnvironment();
    StreamEnvironment(const StreamEnvironment&) = delete;
    StreamEnvironment& operator=(const StreamEnvironment&) = delete;

private:
    const char* name_;
    bool set_;
};
