#include "GifWriter.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

constexpr int kColours = 64;
constexpr int kMinCodeSize = 6;  // log2(kColours)

struct Box {
    std::vector<QRgb> colours;
};

int channel(QRgb c, int i)
{
    return i == 0 ? qRed(c) : i == 1 ? qGreen(c) : qBlue(c);
}

// Median cut of the opaque colours into at most `count` averages.
std::vector<QRgb> medianCut(std::vector<QRgb> colours, int count)
{
    std::vector<Box> boxes{{std::move(colours)}};
    while (int(boxes.size()) < count) {
        int widest = -1, widestChannel = 0, widestRange = 0;
        for (int b = 0; b < int(boxes.size()); ++b) {
            if (boxes[b].colours.size() < 2)
                continue;
            for (int ch = 0; ch < 3; ++ch) {
                const auto [lo, hi] = std::minmax_element(
                    boxes[b].colours.begin(), boxes[b].colours.end(),
                    [ch](QRgb x, QRgb y) { return channel(x, ch) < channel(y, ch); });
                const int range = channel(*hi, ch) - channel(*lo, ch);
                if (range > widestRange) {
                    widest = b;
                    widestChannel = ch;
                    widestRange = range;
                }
            }
        }
        if (widest < 0)
            break;
        auto& v = boxes[widest].colours;
        std::sort(v.begin(), v.end(), [widestChannel](QRgb x, QRgb y) {
            return channel(x, widestChannel) < channel(y, widestChannel);
        });
        Box upper{{v.begin() + long(v.size() / 2), v.end()}};
        v.resize(v.size() / 2);
        boxes.push_back(std::move(upper));
    }
    std::vector<QRgb> palette;
    for (const Box& box : boxes) {
        long r = 0, g = 0, b = 0;
        for (QRgb c : box.colours)
            r += qRed(c), g += qGreen(c), b += qBlue(c);
        const long n = long(box.colours.size());
        if (n)
            palette.push_back(qRgb(int(r / n), int(g / n), int(b / n)));
    }
    return palette;
}

int nearest(const std::vector<QRgb>& palette, QRgb c)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < int(palette.size()); ++i) {
        const long dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
                   db = qBlue(c) - qBlue(palette[i]);
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance)
            best = i, bestDistance = d;
    }
    return best;
}

class BitWriter {
public:
    void write(unsigned code, int bits)
    {
        buffer_ |= code << used_;
        used_ += bits;
        while (used_ >= 8) {
            bytes.push_back(char(buffer_ & 0xff));
            buffer_ >>= 8;
            used_ -= 8;
        }
    }
    void flush()
    {
        if (used_ > 0)
            bytes.push_back(char(buffer_ & 0xff));
        buffer_ = 0;
        used_ = 0;
    }
    QByteArray bytes;

private:
    unsigned buffer_ = 0;
    int used_ = 0;
};

QByteArray lzw(const std::vector<int>& pixels)
{
    const unsigned clear = 1u << kMinCodeSize, end = clear + 1;
    BitWriter out;
    int codeSize = kMinCodeSize + 1;
    unsigned maxCode = end;
    std::map<std::pair<int, int>, unsigned> table;
    out.write(clear, codeSize);
    int current = -1;
    for (int pixel : pixels) {
        if (current < 0) {
            current = pixel;
            continue;
        }
        const auto found = table.find({current, pixel});
        if (found != table.end()) {
            current = int(found->second);
            continue;
        }
        out.write(unsigned(current), codeSize);
        table[{current, pixel}] = ++maxCode;
        if (maxCode >= (1u << codeSize))
            ++codeSize;
        if (maxCode == 4095) {
            out.write(clear, codeSize);
            table.clear();
            codeSize = kMinCodeSize + 1;
            maxCode = end;
        }
        current = pixel;
    }
    out.write(unsigned(current), codeSize);
    out.write(end, codeSize);
    out.flush();
    return out.bytes;
}

void put16(QByteArray& b, int v)
{
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}

}  // namespace

QByteArray writeGif64(const QImage& picture, QRgb background, QRgb transparentColour)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    std::vector<QRgb> opaque;
    std::vector<QRgb> composited(std::size_t(image.width()) * std::size_t(image.height()));
    std::vector<bool> clear(composited.size());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int a = qAlpha(p);
            const std::size_t i = std::size_t(y) * std::size_t(image.width()) + std::size_t(x);
            auto mix = [a](int c, int bg) { return (c * a + bg * (255 - a)) / 255; };
            composited[i] = qRgb(mix(qRed(p), qRed(background)), mix(qGreen(p), qGreen(background)),
                                 mix(qBlue(p), qBlue(background)));
            clear[i] = a < 128;
            if (!clear[i])
                opaque.push_back(composited[i]);
        }
    }
    std::vector<QRgb> palette = medianCut(opaque, kColours - 1);
    while (int(palette.size()) < kColours - 1)
        palette.push_back(qRgb(0, 0, 0));
    const int transparentIndex = kColours - 1;
    palette.push_back(transparentColour);

    std::vector<int> indices(composited.size());
    for (std::size_t i = 0; i < composited.size(); ++i)
        indices[i] = clear[i] ? transparentIndex : nearest(palette, composited[i]);

    QByteArray gif("GIF89a");
    put16(gif, image.width());
    put16(gif, image.height());
    gif.append(char(0x80 | (7 << 4) | 5));  // global table of 2^(5+1) = 64 entries, 8-bit colour
    gif.append(char(transparentIndex));       // background
    gif.append(char(0));
    for (QRgb c : palette) {
        gif.append(char(qRed(c)));
        gif.append(char(qGreen(c)));
        gif.append(char(qBlue(c)));
    }
    gif.append("\x21\xf9\x04\x01", 4);  // graphic control extension: transparent colour given
    put16(gif, 0);
    gif.append(char(transparentIndex));
    gif.append(char(0));
    gif.append(char(0x2c));
    put16(gif, 0);
    put16(gif, 0);
    put16(gif, image.width());
    put16(gif, image.height());
    gif.append(char(0));  // no local table, not interlaced
    gif.append(char(kMinCodeSize));
    const QByteArray data = lzw(indices);
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const qsizetype n = std::min<qsizetype>(255, data.size() - at);
        gif.append(char(n));
        gif.append(data.mid(at, n));
    }
    gif.append(char(0));
    gif.append(char(0x3b));
    return gif;
}
