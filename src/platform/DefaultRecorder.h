#pragma once

#include "platform/PipeWireInput.h"
#include "platform/PortAudioInput.h"

// The recorder a timing check uses. The speakers are recorded as the output plays, through ALSA's
// "default" device. The microphone is recorded through PipeWire's own interface where a PipeWire
// server takes it (the speakers' recording then lies beside it to the sample), and otherwise
// through ALSA's "default" device too.
class DefaultRecorder final : public SoundRecorder {
public:
    bool start(Source source) override
    {
        stop();
        if (source == Source::Microphone && native_.start(source))
            running_ = &native_;
        else if (alsa_.start(source))
            running_ = &alsa_;
        return running_;
    }
    Recording stop() override
    {
        SoundRecorder* was = running_;
        running_ = nullptr;
        return was ? was->stop() : Recording();
    }

private:
    PipeWireInput native_;
    PortAudioInput alsa_;
    SoundRecorder* running_ = nullptr;
};
