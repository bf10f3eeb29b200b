#include "platform/DefaultOutput.h"

#include "platform/AlsaDefault.h"
#include "platform/PortAudioOutput.h"
#include "platform/ServerClientModule.h"

DefaultOutput& DefaultOutput::instance()
{
    static auto* output = new DefaultOutput;
    return *output;
}

DefaultOutput::DefaultOutput() : chosen_(&PortAudioOutput::instance()) {}

void DefaultOutput::choose()
{
    if (chosen_->hasStream())
        return;
    const bool pipeWire = alsaDefaultType() == "pipewire";
    if (pipeWire && !native_)
        native_ = ServerClientModule::pipeWireOutput();
    chosen_ = pipeWire && native_ ? native_.get() : static_cast<PlacedOutput*>(&PortAudioOutput::instance());
}

bool DefaultOutput::open()
{
    choose();
    return chosen_->open();
}

void DefaultOutput::close()
{
    chosen_->close();
}

bool DefaultOutput::start(const WaveImage& sound, SteadyTime due)
{
    choose();
    return chosen_->start(sound, due);
}

void DefaultOutput::stop()
{
    chosen_->stop();
}

std::vector<SoundFault> DefaultOutput::takeFaults()
{
    return chosen_->takeFaults();
}
