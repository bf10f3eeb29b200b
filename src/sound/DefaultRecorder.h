#pragma once

#include "sound/SoundBackends.h"
#include "sound/SoundRoute.h"

// The recorder a timing check uses, on the way the output's stream was opened on (decided afresh
// where no output has decided one). The speakers are recorded as the output plays, through ALSA's
// "default" device. The microphone is recorded through PipeWire's own interface where PipeWire
// takes it (the speakers' recording then lies beside it to the sample), and otherwise through
// ALSA's "default" device too.
class DefaultRecorder final : public SoundRecorder {
public:
    DefaultRecorder(SoundRoute& route, SoundBackends& backends) : route_(route), backends_(backends) {}

    bool start(Source source) override
    {
        stop();
        const bool pipeWire = route_.last() ? route_.last()->reachesPipeWire() : route_.decide().reachesPipeWire();
        if (source == Source::Microphone && pipeWire && !native_)
            native_ = backends_.pipeWireInput();
        if (!alsa_)
            alsa_ = backends_.alsaInput(route_);
        if (source == Source::Microphone && pipeWire && native_ && native_->start(source))
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
    std::optional<SteadyTime> firstFrameCaptured() const override
    {
        return running_ ? running_->firstFrameCaptured() : std::nullopt;
    }

private:
    SoundRoute& route_;
    SoundBackends& backends_;
    std::unique_ptr<SoundRecorder> native_;  // PipeWire's own interface, once asked for
    std::unique_ptr<SoundRecorder> alsa_;  // ALSA's "default" device, once asked for
    SoundRecorder* running_ = nullptr;
};
