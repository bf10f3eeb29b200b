#include "sound/AlsaDefault.h"

#include <alsa/asoundlib.h>

std::string alsaDefaultType()
{
    snd_config_t* definition = nullptr;
    if (snd_config_update() < 0 || snd_config_search_definition(snd_config, "pcm", "default", &definition) < 0)
        return {};
    snd_config_t* type = nullptr;
    const char* name = nullptr;
    std::string found;
    if (snd_config_search(definition, "type", &type) >= 0 && snd_config_get_string(type, &name) >= 0)
        found = name;
    snd_config_delete(definition);
    return found;
}
