#pragma once

#include "platform/PlacedOutput.h"

#include <memory>

// The program's one sound output, on whichever way to the sound server knows most of what the
// server does with the sound: PipeWire's own interface where ALSA's default device is PipeWire's
// plugin (and the interface can be loaded), ALSA's default device otherwise. The way is chosen
// as a stream opens, so a server that changes while the program runs is followed.
class DefaultOutput final : public SoundOutput {
public:
    // The process-wide output. Never destroyed: an audio thread may still be reading the last
    // sound while static objects are torn down.
    static DefaultOutput& instance();

    bool open() override;
    void close() override;
    bool start(const WaveImage& sound, SteadyTime due) override;
    void stop() override;
    std::vector<SoundFault> takeFaults() override;
    // The way chosen when a stream last opened (ALSA's before any did).
    const PlacedOutput& chosen() const { return *chosen_; }

private:
    DefaultOutput();
    void choose();

    PlacedOutput* chosen_;  // kept while it has a stream
    std::unique_ptr<PlacedOutput> native_;  // made the first time it is chosen
};
