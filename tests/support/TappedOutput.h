#pragma once

#include "resources/ResourceBytes.h"
#include "sound/SoundOutput.h"
#include "sound/WaveImage.h"

#include <cstring>
#include <vector>

// Passes everything on to `inner`, noting which digit each sound asked for is (0: none of the
// nine recordings) and whether it started. The digit is told as the sound is asked for: its
// samples are not to be read once the next has started.
struct TappedOutput final : SoundOutput {
    explicit TappedOutput(SoundOutput& inner) : inner(inner)
    {
        for (int d = 1; d <= 9; ++d)
            recordings[d] = resourceBytes(QStringLiteral("WAVE"), d);
    }
    bool open() override { return inner.open(); }
    void close() override { inner.close(); }
    void stop() override { inner.stop(); }
    std::vector<SoundFault> takeFaults() override { return inner.takeFaults(); }
    std::optional<SoundWay> wayTaken() const override { return inner.wayTaken(); }
    std::chrono::nanoseconds heardAfterDue() const override { return inner.heardAfterDue(); }
    bool start(const WaveImage& sound, SteadyTime due) override
    {
        digits.push_back(digitOf(sound));
        started.push_back(inner.start(sound, due));
        return started.back();
    }

    SoundOutput& inner;
    std::vector<int> digits;
    std::vector<bool> started;

private:
    int digitOf(const WaveImage& sound) const
    {
        for (int d = 1; d <= 9; ++d) {
            WaveImage w;
            const QByteArray& bytes = recordings[d];
            if (WaveImage::parse(bytes.constData(), std::size_t(bytes.size()), w) && w.frames == sound.frames
                && std::memcmp(w.samples, sound.samples, w.frames * std::size_t(w.channels) * 2) == 0)
                return d;
        }
        return 0;
    }
    QByteArray recordings[10];
};
