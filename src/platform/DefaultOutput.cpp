#include "platform/DefaultOutput.h"

#include "platform/AlsaDefault.h"
#include "platform/ServerClientModule.h"

DefaultOutput& DefaultOutput::instance()
{
    static auto* output = new DefaultOutput;
    return *output;
}

bool DefaultOutput::choose()
{
    if (chosen_ && chosen_->hasStream())
        return true;
    const bool pipeWire = alsaDefaultType() == "pipewire";
    std::unique_ptr<PlacedOutput>& way = pipeWire ? native_ : alsa_;
    if (!way)
        way = pipeWire ? ServerClientModule::pipeWireOutput() : ServerClientModule::alsaOutput();
    chosen_ = way.get();
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
