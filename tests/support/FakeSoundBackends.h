#pragma once

#include "FakeSoundRecorder.h"
#include "FakeSteadyClock.h"
#include "FakeStreamOutput.h"
#include "sound/SoundBackends.h"

// Makes outputs on hand-rendered streams and recorders that give nothing back, noting which were
// made; PipeWire's own stream opens only while `pipeWireReachable`. Raw pointers to what was made
// stay valid while its owner keeps it.
struct FakeSoundBackends final : SoundBackends {
    std::unique_ptr<PlacedOutput> pipeWireOutput() override { return made(pipeWire, pipeWireReachable); }
    std::unique_ptr<SoundRecorder> pipeWireInput() override
    {
        ++pipeWireInputs;
        return std::make_unique<FakeSoundRecorder>();
    }
    std::unique_ptr<PlacedOutput> alsaOutput(const SoundRoute&) override { return made(alsa, true); }
    std::unique_ptr<SoundRecorder> alsaInput(const SoundRoute&) override
    {
        ++alsaInputs;
        return std::make_unique<FakeSoundRecorder>();
    }

    bool pipeWireReachable = true;
    FakeStreamOutput* pipeWire = nullptr;
    FakeStreamOutput* alsa = nullptr;
    int pipeWireInputs = 0;
    int alsaInputs = 0;

private:
    std::unique_ptr<PlacedOutput> made(FakeStreamOutput*& kept, bool openable)
    {
        auto output = std::make_unique<FakeStreamOutput>(clock);
        output->openable = openable;
        kept = output.get();
        return output;
    }
    std::shared_ptr<FakeSteadyClock> clock = std::make_shared<FakeSteadyClock>();
};
