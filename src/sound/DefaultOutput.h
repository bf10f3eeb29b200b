#pragma once

#include "sound/MonotonicClock.h"
#include "sound/PlacedOutput.h"
#include "sound/SoundBackends.h"
#include "sound/SoundRoute.h"

#include <memory>
#include <utility>

// The program's one sound output, on the way its route decides as each stream opens (so a server
// that changes while the program runs is followed): PipeWire's own stream where PipeWire plays
// the sound, ALSA's default device otherwise, and also where PipeWire's own stream cannot be had
// (no PipeWire socket for this process). Each output is made by the backends the first time it is
// chosen; where none can be made, no stream opens.
class DefaultOutput final : public SoundOutput {
public:
    // `clock` paces how often the way is chosen again while no stream opens.
    DefaultOutput(SoundRoute& route, SoundBackends& backends,
                  std::shared_ptr<const SteadyClock> clock = std::make_shared<MonotonicClock>())
        : route_(route), backends_(backends), clock_(std::move(clock))
    {
    }

    // The process-wide output, on the process's route and the sound module. Never destroyed: an
    // audio thread may still be reading the last sound while static objects are torn down.
    static DefaultOutput& instance();

    bool open() override;
    void close() override;
    bool start(const WaveImage& sound, SteadyTime due) override;
    void stop() override;
    std::vector<SoundFault> takeFaults() override;
    std::optional<SoundWay> wayTaken() const override { return taken_; }
    std::chrono::nanoseconds heardAfterDue() const override { return chosen_ ? chosen_->heardAfterDue() : std::chrono::nanoseconds(); }

    // The output taken when a stream last opened; none before any did.
    const PlacedOutput* chosen() const { return chosen_; }
    SoundRoute& route() const { return route_; }

private:
    // False where the way to take cannot be made.
    bool choose();

    SoundRoute& route_;
    SoundBackends& backends_;
    const std::shared_ptr<const SteadyClock> clock_;
    PlacedOutput* chosen_ = nullptr;  // kept while it has a stream
    std::optional<SoundWay> taken_;   // the way `chosen_` was taken on
    SteadyTime chosenAt_{};
    std::unique_ptr<PlacedOutput> native_;  // each made the first time it is chosen
    std::unique_ptr<PlacedOutput> alsa_;
};
