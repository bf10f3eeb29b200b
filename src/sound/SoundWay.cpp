#include "sound/SoundWay.h"

QString SoundWay::inWords() const
{
    if (ownPipeWireStream)
        return QStringLiteral("PipeWire, through its own interface");
    switch (alsa) {
    case Alsa::PipeWirePlugin:
        return QStringLiteral("PipeWire, through its ALSA plugin");
    case Alsa::PulseAudio:
    case Alsa::PipeWireService:
        return server + QStringLiteral(", through ALSA's pulse plugin");
    case Alsa::PulseUnknown:
        return QStringLiteral("PulseAudio (or PipeWire's PulseAudio service), through ALSA's pulse plugin");
    case Alsa::Other:
        break;
    }
    return QStringLiteral("ALSA's default device");
}
