#pragma once

#include "platform/CaptureTake.h"
#include "platform/PipeWireClient.h"
#include "platform/SoundRecorder.h"

#include <memory>


// Records through PipeWire's own interface. From the microphone it records the default output's
// monitor alongside, in the same graph: both streams' buffers carry the graph's clock, so the
// offset between the two recordings is known to a sample, whatever the server's ALSA plugin or
// PulseAudio service would report. Starting fails, and nothing is left running, where no
// PipeWire server answers or its streams do not begin to flow within two seconds (a PipeWire
// that only handles video beside PulseAudio).
class PipeWireInput final : public SoundRecorder {
public:
    PipeWireInput();
    ~PipeWireInput() override;
    PipeWireInput(const PipeWireInput&) = delete;
    PipeWireInput& operator=(const PipeWireInput&) = delete;

    bool start(Source source) override;
    Recording stop() override;

    struct Capture;

private:
    bool connect(Capture& capture, bool monitor);
    void tearDown();

    PipeWireClient client_;
    std::unique_ptr<Capture> sound_;
    std::unique_ptr<Capture> speakers_;
    bool speakersToo_ = false;
};
