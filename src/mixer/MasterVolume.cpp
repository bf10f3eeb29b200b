#include "mixer/MasterVolume.h"

#include "mixer/MasterMixer.h"
#include "desktop/MessagePresenter.h"

#include <cmath>
#include <utility>

std::uint32_t MasterVolume::rawFromPercent(std::uint32_t maximum, int percent)
{
    const std::int64_t product = std::int64_t(maximum) * percent;
    return static_cast<std::uint32_t>(std::nearbyint(double(product) / 100));  // halves to even
}

int MasterVolume::percentFromRaw(std::uint32_t raw, std::uint32_t maximum)
{
    return static_cast<int>(std::nearbyint(double(raw) / maximum * 100));
}

bool MasterVolume::open(bool quietly)
{
    if (mixer_.open())
        return true;
    if (!quietly)
        messages_.tell(QStringLiteral("No mixer found!"), MessageIcon::None);
    return false;
}

void MasterVolume::setPercent(int percent)
{
    apply(percent, false);
}

void MasterVolume::apply(int percent, bool quietly)
{
    if (!std::exchange(held_, false) && !open(quietly))
        return;
    // A mixer without a master volume takes no level at all: a stale one could mute it.
    if (const std::uint32_t maximum = mixer_.maximum(); maximum > 0 && percent >= 0 && percent <= 100)
        mixer_.write(rawFromPercent(maximum, percent));
    mixer_.close();
}

void MasterVolume::recordStartupLevel()
{
    startupPercent_.reset();
    if (!open())
        return;
    std::uint32_t raw = 0;
    const std::uint32_t maximum = mixer_.maximum();
    if (maximum > 0 && mixer_.read(raw))
        startupPercent_ = percentFromRaw(raw, maximum);
    held_ = true;
}

void MasterVolume::restoreStartupLevel(bool quietly)
{
    if (startupPercent_)
        apply(*startupPercent_, quietly);
}
