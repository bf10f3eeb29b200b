#pragma once

#include <QString>

// The way the program's sound takes to the sound server: what ALSA's "default" device leads to,
// and, once an output has taken it, whether that output is PipeWire's own stream.
struct SoundWay {
    enum class Alsa {
        PipeWirePlugin,   // PipeWire's own ALSA plugin
        PulseAudio,       // ALSA's pulse plugin, PulseAudio itself behind it
        PipeWireService,  // ALSA's pulse plugin, PipeWire's PulseAudio service behind it
        PulseUnknown,     // ALSA's pulse plugin, and the server would not say what it is
        Other,            // anything else: a card, or no configuration at all
    };

    Alsa alsa = Alsa::Other;
    QString server;  // as the server names itself, where it was asked
    bool ownPipeWireStream = false;

    // Whether PipeWire plays the sound, however ALSA reaches it: then its own stream is taken.
    bool reachesPipeWire() const { return alsa == Alsa::PipeWirePlugin || alsa == Alsa::PipeWireService; }
    bool throughPulsePlugin() const
    {
        return alsa == Alsa::PulseAudio || alsa == Alsa::PipeWireService || alsa == Alsa::PulseUnknown;
    }
    // The way in words, for the examiner: "PipeWire, through its own interface", and so on.
    QString inWords() const;

    bool operator==(const SoundWay&) const = default;
};
