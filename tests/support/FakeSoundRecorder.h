#pragma once

#include "sound/SoundRecorder.h"

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
    // What has been "heard" so far: the first `heardFrames` frames of the recording.
    QByteArray recordedFrom(qsizetype frame) const override
    {
        if (!running || frame >= heardFrames)
            return {};
        return recording.sound.mid(frame * 4, (heardFrames - frame) * 4);
    }
    Recording recording;
    qsizetype heardFrames = 0;
    bool available = true;
    bool running = false;
    Source source = Source::Speakers;
};
