#pragma once

#include "sound/pipewire/PipeWireStream.h"
#include "sound/GraphSlipDetector.h"
#include "sound/PlacedOutput.h"

#include <cstdint>

// The program's output through PipeWire's own interface, 44100 Hz, 16-bit stereo, for where
// PipeWire's ALSA plugin would carry it: that plugin says nothing when the server holds the
// sound back by whole cycles (the server's process held up, a missed deadline), while a native
// stream's time reports show it. It fixes the graph's quantum at 1024 frames while it plays, as
// the ALSA route does.
//
// Timing: each sound goes where SoundPlacement puts it on the stream's frame count. With every
// buffer the stream is told where the graph stands (its position and the delay to the device,
// less what the stream and its resampler still hold); against the frames written so far that
// stays put while the sound flows; a step in it is sound held back (or dropped), and the map
// moves by it (GraphSlipDetector). Moves to another output are told where PipeWire's PulseAudio
// service runs (PulseOutputMoves): PipeWire's own interface does not tell a stream's moves.
class PipeWireOutput final : public PlacedOutput {
public:
    PipeWireOutput();
    PipeWireOutput(const PipeWireOutput&) = delete;
    PipeWireOutput& operator=(const PipeWireOutput&) = delete;

    double streamLatency() const override { return latency_; }
    bool hasStream() const override { return stream_.isOpen(); }

protected:
    bool tryOpen() override;
    bool streaming() const override;
    void closeStream() override;

private:
    static void process(void* data);
    static void made(void* data);
    static const PipeWireStream::Events kStreamEvents;

    void render();

    double latency_ = 0;
    GraphSlipDetector slips_;  // the audio thread's own
    PipeWireStream stream_{kStreamEvents, this};  // last: it ends before what render() uses
};
