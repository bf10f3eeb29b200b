#include "session/OutputKeeper.h"

#include "sound/PacingTimer.h"
#include "sound/SoundOutput.h"

OutputKeeper::OutputKeeper(SoundOutput& output, PacingTimer& closeTimer, QObject* parent)
    : QObject(parent), output_(output), closeTimer_(closeTimer)
{
    closeTimer_.setInterval(kCloseDelayMs);
    connect(&closeTimer_, &PacingTimer::ticked, this, &OutputKeeper::closeNow);
}

// A failed opening is not reported here: each digit tries again, and says nothing either.
void OutputKeeper::setNeeded(bool needed)
{
    if (needed) {
        closeTimer_.stop();
        output_.open();
    } else {
        closeTimer_.stop();  // the delay counts from the last stop
        closeTimer_.start();
    }
}

void OutputKeeper::closeNow()
{
    closeTimer_.stop();
    output_.close();
}
