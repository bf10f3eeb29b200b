#pragma once

#include <cstdint>
#include <optional>

class MasterMixer;
class MessagePresenter;

// The master output volume behind the volume slider, in whole percent of the mixer's range.
// Every read or write opens the mixer, makes its one value call and closes it again; a mixer that
// cannot be opened says "No mixer found!" each time. The one exception: the start-up reading
// leaves a mixer it opened open for the setting that follows it, so that start-up connects to
// the sound server once. The computer's own level is noted once at start-up and put back at
// exit; a level that could not be read is never "put back".
class MasterVolume {
public:
    MasterVolume(MasterMixer& mixer, MessagePresenter& messages) : mixer_(mixer), messages_(messages) {}

    // Sets the master volume to `percent` (0 to 100) of the mixer's range.
    void setPercent(int percent);

    // Notes the master volume as it stands, before the program sets its own with setPercent().
    void recordStartupLevel();
    // The level noted at start-up; nothing when it could not be read (no mixer, no master
    // volume, a failed read), so that the exit leaves the volume alone rather than muting it.
    std::optional<int> startupPercent() const { return startupPercent_; }
    // Puts the noted level back. `quietly`: a mixer that cannot be opened says nothing (the
    // desktop session is ending, and nobody may be there to answer a message).
    void restoreStartupLevel(bool quietly = false);

    // `percent` of `maximum`, halves to even, without overflow for any maximum.
    static std::uint32_t rawFromPercent(std::uint32_t maximum, int percent);
    // `raw` in whole percent of `maximum` (above 0), halves to even.
    static int percentFromRaw(std::uint32_t raw, std::uint32_t maximum);

private:
    // Opens the mixer; one that cannot be opened says so unless `quietly`.
    bool open(bool quietly = false);
    void apply(int percent, bool quietly);

    MasterMixer& mixer_;
    MessagePresenter& messages_;
    std::optional<int> startupPercent_;
    bool held_ = false;  // the mixer is open from the start-up reading
};
