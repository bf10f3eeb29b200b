#include "sound/DefaultOutput.h"

#include "sound/BackendModule.h"
#include "sound/SystemSoundProbe.h"

DefaultOutput& DefaultOutput::instance()
{
    static auto* probe = new SystemSoundProbe;
    static auto* route = new SoundRoute(*probe);
    static auto* output = new DefaultOutput(*route, BackendModule::instance());
    return *output;
}

bool DefaultOutput::choose()
{
    if (chosen_ && chosen_->hasStream())
        return true;
    // Asking the server may take up to two seconds where it does not answer: while no stream
    // opens, the way is chosen again only as often as a stream is tried again.
    const SteadyTime now = clock_->now();
    if (chosen_ && now - chosenAt_ < PlacedOutput::kRetryInterval)
        return true;
    chosenAt_ = now;
    chosen_ = nullptr;
    taken_.reset();
    // PipeWire's own stream where PipeWire plays the sound, however ALSA reaches it: its time
    // reports tell what the server did, where the PulseAudio service's delay reports do not.
    SoundWay way = route_.decide();
    if (way.reachesPipeWire()) {
        if (!native_)
            native_ = backends_.pipeWireOutput();
        if (native_ && native_->open())
            chosen_ = native_.get();
    }
    way.ownPipeWireStream = chosen_ != nullptr;
    if (!chosen_) {
        if (!alsa_)
            alsa_ = backends_.alsaOutput(route_);
        chosen_ = alsa_.get();
    }
    if (chosen_)
        taken_ = way;
    return chosen_;
}

bool DefaultOutput::open()
{
    return choose() && chosen_->open();
}

void DefaultOutput::close()
{
    if (chosen_)
        chosen_->close();
    chosenAt_ = {};  // the next stream's way is chosen afresh
}

bool DefaultOutput::start(const WaveImage& sound, SteadyTime due)
{
    return choose() && chosen_->start(sound, due);
}

void DefaultOutput::stop()
{
    if (chosen_)
        chosen_->stop();
}

std::vector<SoundFault> DefaultOutput::takeFaults()
{
    return chosen_ ? chosen_->takeFaults() : std::vector<SoundFault>();
}
