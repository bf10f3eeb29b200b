// libFuzzer target: any stored "Volume" text, read as UTF-8 and as Latin-1, becomes a slider
// position from 0 to 100.
#include "mixer/VolumeSetting.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    for (const QString& text : {QString::fromUtf8(bytes, qsizetype(size)), QString::fromLatin1(bytes, qsizetype(size))}) {
        const int position = volumeFromSetting(text);
        if (position < 0 || position > 100)
            __builtin_trap();
    }
    return 0;
}
