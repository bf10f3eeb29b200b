#pragma once

#include "mixer/MasterMixer.h"

typedef struct _snd_mixer snd_mixer_t;
typedef struct _snd_mixer_elem snd_mixer_elem_t;

// The "Master" playback volume of ALSA's "default" control device: on a desktop with PulseAudio
// or PipeWire, the default sink's volume. The raw range 0..maximum() covers the element's whole
// range, whatever its own minimum; reads take the first channel, writes set all channels.
class AlsaMasterMixer final : public MasterMixer {
public:
    ~AlsaMasterMixer() override { close(); }

    bool open() override;
    void close() override;
    std::uint32_t maximum() override;
    bool read(std::uint32_t& level) override;
    bool write(std::uint32_t level) override;

private:
    snd_mixer_t* mixer_ = nullptr;
    snd_mixer_elem_t* master_ = nullptr;
    long min_ = 0;
    long max_ = 0;
};
