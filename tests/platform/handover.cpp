// The hand-over of sounds between the UI thread and the audio thread, built with
// AddressSanitizer and with ThreadSanitizer: sounds are started one after another from freshly allocated images, each
// image freed as soon as the next sound has started, while the stream plays. Any race on the
// samples or the sound being played, and any read of a freed image, is reported and fails the run. No Qt: nothing here but the
// output stream, so every report is about it.
#include "platform/PortAudioOutput.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

std::vector<char> toneImage(std::uint32_t frames)
{
    std::vector<char> image(44 + frames * 4);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&image[at], &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&image[at], &v, 2); };
    std::memcpy(&image[0], "RIFF", 4);
    put32(4, std::uint32_t(image.size() - 8));
    std::memcpy(&image[8], "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 2);
    put32(24, 44100);
    put32(28, 44100 * 4);
    put16(32, 4);
    put16(34, 16);
    std::memcpy(&image[36], "data", 4);
    put32(40, frames * 4);
    for (std::uint32_t i = 0; i < frames * 2; ++i) {
        const std::int16_t s = (i / 2) % 64 < 32 ? 6000 : -6000;
        std::memcpy(&image[44 + i * 2], &s, 2);
    }
    return image;
}

bool play(const std::vector<char>& image)
{
    WaveImage sound;
    return WaveImage::parse(image.data(), image.size(), sound)
           && PortAudioOutput::instance().start(sound, std::chrono::steady_clock::now());
}

}  // namespace

int main()
{
    if (!PortAudioOutput::instance().open()) {
        std::fprintf(stderr, "no output stream: run through `make test`\n");
        return 1;
    }
    std::unique_ptr<std::vector<char>> previous;
    for (int i = 0; i < 300; ++i) {
        auto current = std::make_unique<std::vector<char>>(toneImage(22050));
        if (!play(*current)) {
            std::fprintf(stderr, "sound %d not started\n", i);
            return 1;
        }
        previous = std::move(current);  // frees the image before
        std::this_thread::sleep_for(std::chrono::milliseconds(i % 9));
    }
    // Once the output is stopped, the last image may go too.
    PortAudioOutput::instance().stop();
    previous.reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::puts("300 sounds handed over");
    return 0;
}
