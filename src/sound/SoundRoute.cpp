#include "sound/SoundRoute.h"

const SoundWay& SoundRoute::decide()
{
    SoundWay way;
    const std::string type = probe_.alsaDefaultType();
    if (type == "pipewire") {
        way.alsa = SoundWay::Alsa::PipeWirePlugin;
    } else if (type == "pulse") {
        // PipeWire's service calls itself "PulseAudio (on PipeWire 0.3.65)".
        way.server = probe_.serverName();
        way.alsa = way.server.isEmpty() ? SoundWay::Alsa::PulseUnknown
                   : way.server.contains(QLatin1String("PipeWire"), Qt::CaseInsensitive) ? SoundWay::Alsa::PipeWireService
                                                                                          : SoundWay::Alsa::PulseAudio;
    }
    last_ = way;
    return *last_;
}
