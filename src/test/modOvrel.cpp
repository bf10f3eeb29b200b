#include "test/modOvrel.h"

#include "platform/PlaySound.h"
#include "platform/Resources.h"

namespace {

// The sound plays from these bytes themselves, so they stay allocated and unchanged until the
// next digit has started. Never destroyed: the last digit may still be sounding while the
// process ends.
QByteArray& digitSound()
{
    static auto* sound = new QByteArray;
    return *sound;
}

}  // namespace

const QByteArray& DigitSound()
{
    return digitSound();
}

int PlayDigit(int digit)
{
    QByteArray image = LoadResourceBytes("WAVE", digit);
    if (image.isEmpty())
        return 0;
    const int started = PlaySoundA(image.constData(), nullptr, SND_ASYNC | SND_MEMORY);
    // Only now may the previous image go: until PlaySoundA returned it could still be playing.
    // Moving keeps the new bytes where they are.
    digitSound() = std::move(image);
    return started;
}
