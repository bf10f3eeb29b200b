#include "sound/DigitPlayer.h"

#include "resources/ResourceBytes.h"
#include "sound/SoundOutput.h"

DigitPlayer::~DigitPlayer()
{
    if (!sound_.isEmpty())
        output_.stop();
}

bool DigitPlayer::play(int digit, SteadyTime due)
{
    QByteArray recording = resourceBytes(QStringLiteral("WAVE"), digit);
    WaveImage image;
    if (!WaveImage::parse(recording.constData(), std::size_t(recording.size()), image))
        return false;
    const bool started = output_.start(image, due);
    // Only now may the previous recording go: until start() returned it could still be playing.
    // Moving keeps the new bytes where they are.
    sound_ = std::move(recording);
    return started;
}
