#include "mixer/AlsaMasterMixer.h"

#include "sound/AlsaMessages.h"

#include <alsa/asoundlib.h>
#include <algorithm>
#include <cstdint>

bool AlsaMasterMixer::open()
{
    close();
    silenceAlsaMessages();
    if (snd_mixer_open(&mixer_, 0) < 0) {
        mixer_ = nullptr;
        return false;
    }
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, "Master");
    // "default" without a usable Master element counts as no mixer, like one that cannot open.
    if (snd_mixer_attach(mixer_, "default") < 0 || snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0
        || snd_mixer_load(mixer_) < 0 || !(master_ = snd_mixer_find_selem(mixer_, id))
        || !snd_mixer_selem_has_playback_volume(master_)
        || snd_mixer_selem_get_playback_volume_range(master_, &min_, &max_) < 0 || max_ <= min_) {
        close();
        return false;
    }
    return true;
}

void AlsaMasterMixer::close()
{
    if (mixer_)
        snd_mixer_close(mixer_);
    mixer_ = nullptr;
    master_ = nullptr;
}

std::uint32_t AlsaMasterMixer::maximum()
{
    if (!master_)
        return 0;
    return static_cast<std::uint32_t>(std::min<long>(max_ - min_, INT32_MAX));
}

bool AlsaMasterMixer::read(std::uint32_t& level)
{
    long value = 0;
    if (!master_ || snd_mixer_selem_get_playback_volume(master_, SND_MIXER_SCHN_FRONT_LEFT, &value) < 0)
        return false;
    level = static_cast<std::uint32_t>(std::clamp(value - min_, 0L, long(maximum())));
    return true;
}

bool AlsaMasterMixer::write(std::uint32_t level)
{
    return master_ && level <= maximum() && snd_mixer_selem_set_playback_volume_all(master_, min_ + long(level)) >= 0;
}
