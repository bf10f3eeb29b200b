#pragma once

#include "sound/BackendModule.h"

// The recorder a timing check uses. The speakers are recorded as the output plays, through ALSA's
// "default" device. The microphone is recorded through PipeWire's own interface where a PipeWire
// server takes it (the speakers' recording then lies beside it to the sample), and otherwise
// through ALSA's "default" device too. Both come from the sound module (BackendModule).
class DefaultRecorder final : public SoundRecorder {
public:
    bool start(Source source) override
    {
        stop();
        if (source == Source::Microphone && !native_)
            native_ = BackendModule::pipeWireInput();
        if (!alsa_)
            alsa_ = BackendModule::alsaInput();
        if (source == Source::Microphone && native_ && native_->start(source))
            running_ = native_.get();
        else if (alsa_ && alsa_->start(source))
            running_ = alsa_.get();
        return running_;
    }
    Recording stop() override
    {
        SoundRecorder* was = running_;
        running_ = nullptr;
        return was ? was->stop() : Recording();
    }

    QByteArray recordedFrom(qsizetype frame) const override
    {
        return running_ ? running_->recordedFrom(frame) : QByteArray();
    }

private:
    std::unique_ptr<SoundRecorder> native_;  // PipeWire's own interface, once asked for
    std::unique_ptr<SoundRecorder> alsa_;  // ALSA's "default" device, once asked for
    SoundRecorder* running_ = nullptr;
};
