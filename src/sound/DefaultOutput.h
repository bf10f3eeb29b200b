#pragma once

#include "sound/PlacedOutput.h"

#include <memory>

// The program's one sound output, on whichever way to the sound server knows most of what the
// server does with the sound: PipeWire's own interface where ALSA's default device leads to
// PipeWire (its own plugin, or ALSA's pulse plugin in front of PipeWire's PulseAudio service),
// ALSA's default device otherwise. The way is chosen as a stream opens, so a server that changes
// while the program runs is followed. Both are made by the sound module
// (BackendModule) the first time they are chosen; where it cannot be loaded, no stream opens.
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
    // The way chosen when a stream last opened; none before any did.
    const PlacedOutput* chosen() const { return chosen_; }

private:
    DefaultOutput() = default;
    // False where the way to take cannot be made.
    bool choose();

    PlacedOutput* chosen_ = nullptr;  // kept while it has a stream
    SteadyTime chosenAt_{};
    std::unique_ptr<PlacedOutput> native_;  // each made the first time it is chosen
    std::unique_ptr<PlacedOutput> alsa_;
};
