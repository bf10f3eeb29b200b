#pragma once

#include "platform/SoundRecorder.h"

// Gives back a recording set beforehand, whatever is played.
struct FakeSoundRecorder final : SoundRecorder {
    bool start(Source from) override
    {
        source = from;
        running = available;
        return available;
    }
    Recording stop() override
    {
        const bool was = running;
        running = false;
        return was ? recording : Recording();
    }
    Recording recording;
    bool available = true;
    bool running = false;
    Source source = Source::Speakers;
};
