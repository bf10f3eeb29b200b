#include "sound/DefaultOutput.h"

#include "sound/AlsaDefault.h"
#include "sound/BackendModule.h"

DefaultOutput& DefaultOutput::instance()
{
    static auto* output = new DefaultOutput;
    return *output;
}

namespace {

// Whether the server that ALSA's default device reaches is PipeWire: its own plugin, or ALSA's
// pulse plugin in front of PipeWire's PulseAudio service (asked for the server's name).
bool pipeWireBehindAlsaDefault()
{
    const std::string type = alsaDefaultType();
    if (type == "pipewire")
        return true;
    if (type != "pulse")
        return false;
    const std::unique_ptr<SoundDevices> devices = BackendModule::soundDevices();
    return devices && devices->names().server.contains(QLatin1String("PipeWire"), Qt::CaseInsensitive);
}

}  // namespace

bool DefaultOutput::choose()
{
    if (chosen_ && chosen_->hasStream())
        return true;
    // Asking the server may take up to two seconds where it does not answer: while no stream
    // opens, the way is chosen again only as often as a stream is tried again.
    const SteadyTime now = std::chrono::steady_clock::now();
    if (chosen_ && now - chosenAt_ < PlacedOutput::kRetryInterval)
        return true;
    chosenAt_ = now;
    chosen_ = nullptr;
    // PipeWire's own stream where PipeWire plays the sound, however ALSA reaches it: its time
    // reports tell what the server did, where the PulseAudio service's delay reports do not. ALSA's
    // default device where that stream cannot be had (no PipeWire socket for this process).
    if (pipeWireBehindAlsaDefault()) {
        if (!native_)
            native_ = BackendModule::pipeWireOutput();
        if (native_ && native_->open())
            chosen_ = native_.get();
    }
    if (!chosen_) {
        if (!alsa_)
            alsa_ = BackendModule::alsaOutput();
        chosen_ = alsa_.get();
    }
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
