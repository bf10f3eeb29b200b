#include "sound/WaveImage.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t le32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

std::uint16_t le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// An image larger than this is not a recording this program would ever carry.
constexpr std::uint32_t kMaxRiffSize = 64u << 20;

}  // namespace

bool WaveImage::parse(const void* image, std::size_t size, WaveImage& out)
{
    if (!image || size < 12)
        return false;
    const auto* p = static_cast<const unsigned char*>(image);
    if (std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0)
        return false;
    const std::uint32_t riffSize = le32(p + 4);
    if (riffSize < 4 || riffSize > kMaxRiffSize)
        return false;
    const std::size_t end = std::min(std::size_t(riffSize) + 8, size);

    bool haveFormat = false;
    WaveImage w;
    std::size_t at = 12;
    while (at + 8 <= end) {
        const unsigned char* chunk = p + at;
        const std::size_t chunkSize = le32(chunk + 4);
        if (chunkSize > end - at - 8)
            return false;
        const unsigned char* body = chunk + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize < 16 || le16(body) != 1 || le16(body + 14) != 16)
                return false;
            w.channels = le16(body + 2);
            w.sampleRate = static_cast<int>(le32(body + 4));
            haveFormat = w.channels > 0;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return false;
            w.samples = reinterpret_cast<const std::int16_t*>(body);
            w.frames = chunkSize / (2 * std::size_t(w.channels));
            out = w;
            return true;
        }
        at += 8 + chunkSize + (chunkSize & 1);
    }
    return false;
}
