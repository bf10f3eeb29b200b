#include "listening/WaveBytes.h"

#include <QtEndian>

namespace {

void put32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void put16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

}  // namespace

QByteArray waveBytes(std::span<const std::int16_t> mono, int channels)
{
    constexpr quint32 kRate = 44100;
    const quint32 data = quint32(mono.size() * std::size_t(channels) * 2);
    QByteArray out;
    out.reserve(int(44 + data));
    out.append("RIFF");
    put32(out, 36 + data);
    out.append("WAVEfmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, quint16(channels));
    put32(out, kRate);
    put32(out, kRate * quint32(channels) * 2);
    put16(out, quint16(channels * 2));
    put16(out, 16);
    out.append("data");
    put32(out, data);
    for (const std::int16_t sample : mono)
        for (int channel = 0; channel < channels; ++channel)
            put16(out, quint16(sample));
    return out;
}
