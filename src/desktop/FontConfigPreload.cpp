#include "desktop/FontConfigPreload.h"

#include <fontconfig/fontconfig.h>

namespace {

// The machine's configuration and fonts, made fontconfig's current configuration, which Qt then
// takes as it is. fontconfig's own start (FcInit) also parses every file it ships unused
// (conf.avail, some forty) for their descriptions, which only its listing tool shows: about
// a third of its time here. Where the configuration cannot be read, or names no cache folder,
// FcInit's own start stands, with its fallbacks and warnings.
void loadConfiguration()
{
    FcConfig* config = FcConfigCreate();
    FcStrList* cacheFolders = nullptr;
    const bool usable = config && FcConfigParseAndLoad(config, nullptr, FcTrue)
                        && (cacheFolders = FcConfigGetCacheDirs(config)) && FcStrListNext(cacheFolders)
                        && FcConfigSetCurrent(config);
    if (cacheFolders)
        FcStrListDone(cacheFolders);
    if (config)
        FcConfigDestroy(config);  // the current configuration holds its own reference
    if (!usable)
        FcInit();
}

}  // namespace

FontConfigPreload::FontConfigPreload() : reading_(loadConfiguration) {}

void FontConfigPreload::wait()
{
    if (reading_.joinable())
        reading_.join();
}
