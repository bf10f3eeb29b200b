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
    if (open_)
        return;
    const bool pipeWire = alsaDefaultType() == "pipewire";
    if (pipeWire && !native_)
        native_ = ServerClientModule::pipeWireOutput();
    chosen_ = pipeWire && native_ ? native_.get() : static_cast<PlacedOutput*>(&PortAudioOutput::instance());
}

bool DefaultOutput::open()
{
    choose();
    open_ = chosen_->open();
    return open_;
}

void DefaultOutput::close()
{
    chosen_->close();
    open_ = false;
}

bool DefaultOutput::start(const WaveImage& sound, SteadyTime due)
{
    choose();
    const bool played = chosen_->start(sound, due);
    open_ = open_ || played;
    return played;
}

void DefaultOutput::stop()
{
    chosen_->stop();
}

std::vector<SoundFault> DefaultOutput::takeFaults()
{
    return chosen_->takeFaults();
}
