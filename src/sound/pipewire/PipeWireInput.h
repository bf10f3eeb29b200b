#pragma once

#include "sound/CaptureTake.h"
#include "sound/pipewire/PipeWireStream.h"
#include "sound/SoundRecorder.h"

#include <memory>

class PipeWireGraph;

// Records the microphone through PipeWire's own interface, with one four-channel stream linked by
// hand to the default input and, beside it, to the default output's monitor: one node of the
// graph hears both in the same cycle, so the two recordings lie side by side to the sample,
// whatever the server's ALSA plugin or PulseAudio service would report, and however the graph
// orders its nodes. It records only the microphone: asked for the speakers alone it fails at
// once, and they are recorded through ALSA's "default" device (PortAudioInput). Starting fails,
// and nothing is left running, where no PipeWire server answers, it names no default device, or
// the stream does not begin to flow within two seconds (a PipeWire that only handles video
// beside PulseAudio).
class PipeWireInput final : public SoundRecorder {
public:
    PipeWireInput();
    ~PipeWireInput() override;
    PipeWireInput(const PipeWireInput&) = delete;
    PipeWireInput& operator=(const PipeWireInput&) = delete;

    bool start(Source source) override;
    Recording stop() override;
    QByteArray recordedFrom(qsizetype frame) const override;
    std::optional<SteadyTime> firstFrameCaptured() const override;

private:
    static void process(void* data);
    static void made(void* data);
    static bool connected(void* data);
    static void closing(void* data);
    static const PipeWireStream::Events kStreamEvents;

    bool linkByHand();

    std::unique_ptr<PipeWireGraph> graph_;
    CaptureTake sound_;
    CaptureTake speakers_;
    PipeWireStream stream_{kStreamEvents, this};  // last: it ends before what its events use
};
