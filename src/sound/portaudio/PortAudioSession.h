#pragma once

// PortAudio, initialised from a session's first start() to its end. PortAudio counts its
// initialisations, so the output's session and the recorder's stand side by side. Each start and
// each call on PortAudio's streams is made with stderr quieted (QuietStderr): PortAudio probes
// every host API it was built with, and their complaints are not the user's to see.
class PortAudioSession {
public:
    PortAudioSession() = default;
    ~PortAudioSession();
    PortAudioSession(const PortAudioSession&) = delete;
    PortAudioSession& operator=(const PortAudioSession&) = delete;

    // Silences ALSA's messages and initialises PortAudio unless this session has. With
    // `relistWithoutDefault`, a session whose devices were listed while ALSA had no default
    // output lists them again, with ALSA's configuration read afresh: ALSA routes "default" to
    // the sound server only when one runs. False where PortAudio cannot be initialised.
    bool start(bool relistWithoutDefault = false);

private:
    bool started_ = false;
};
