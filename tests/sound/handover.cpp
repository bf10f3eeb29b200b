// The hand-over of sounds between the UI thread and the audio thread, built with
// AddressSanitizer and with ThreadSanitizer: sounds are started one after another from freshly
// allocated samples, each freed as soon as the next sound has started, while the stream plays.
// Any race on the samples or the sound being played, and any read of freed samples, is reported
// and fails the run. No Qt: nothing here but the output stream, so every report is about it.
// Against PipeWire through its ALSA plugin, the stream is PipeWire's own (DefaultOutput).
#include "sound/DefaultOutput.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

int main()
{
    if (!DefaultOutput::instance().open()) {
        std::fprintf(stderr, "no output stream: run through `make test`\n");
        return 1;
    }
    constexpr std::size_t kFrames = 22050;  // half a second: still sounding when the next starts
    std::unique_ptr<std::vector<std::int16_t>> previous;
    for (int i = 0; i < 300; ++i) {
        auto current = std::make_unique<std::vector<std::int16_t>>(kFrames * 2);
        for (std::size_t s = 0; s < current->size(); ++s)
            (*current)[s] = (s / 2) % 64 < 32 ? 6000 : -6000;
        const WaveImage sound{current->data(), kFrames, 2, 44100};
        if (!DefaultOutput::instance().start(sound, std::chrono::steady_clock::now())) {
            std::fprintf(stderr, "sound %d not started\n", i);
            return 1;
        }
        previous = std::move(current);  // frees the samples before
        std::this_thread::sleep_for(std::chrono::milliseconds(i % 9));
    }
    // Once the output is stopped, the last samples may go too.
    DefaultOutput::instance().stop();
    previous.reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::puts("300 sounds handed over");
    return 0;
}
