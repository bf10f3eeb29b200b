#include "SequenceRecording.h"

#include "resources/ResourceBytes.h"
#include "sound/WaveImage.h"

#include <algorithm>
#include <cstring>

QByteArray sequenceRecording(std::span<const int> digits, int paceMs)
{
    constexpr qsizetype kFrameBytes = 4;
    const qsizetype pace = 44100LL * paceMs / 1000;
    QByteArray recording((qsizetype(digits.size()) + 2) * pace * kFrameBytes, '\0');
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const QByteArray bytes = resourceBytes(QStringLiteral("WAVE"), digits[i]);
        WaveImage wave;
        if (WaveImage::parse(bytes.constData(), std::size_t(bytes.size()), wave))
            std::memcpy(recording.data() + (qsizetype(i) + 1) * pace * kFrameBytes, wave.samples,
                        std::min<qsizetype>(qsizetype(wave.frames), pace) * kFrameBytes);
    }
    return recording;
}
