#include "listening/DigitSound.h"

#include "resources/ResourceBytes.h"
#include "sound/WaveImage.h"

std::vector<std::int16_t> digitSound(int digit)
{
    const QByteArray bytes = resourceBytes(QStringLiteral("WAVE"), digit);
    WaveImage image;
    if (!WaveImage::parse(bytes.constData(), std::size_t(bytes.size()), image) || image.channels < 1)
        return {};
    std::vector<std::int16_t> mono(image.frames);
    for (std::size_t frame = 0; frame < image.frames; ++frame) {
        int sum = 0;
        for (int channel = 0; channel < image.channels; ++channel)
            sum += image.samples[frame * std::size_t(image.channels) + std::size_t(channel)];
        mono[frame] = std::int16_t(sum / image.channels);
    }
    return mono;
}

