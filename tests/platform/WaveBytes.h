#pragma once

#include <QByteArray>
#include <QtEndian>

// A WAVE image of `frames` 16-bit frames of a steady tone, optionally with extra chunks.
inline QByteArray waveBytes(int frames, int channels = 2, int rate = 44100, int bits = 16,
                            const QByteArray& beforeData = {})
{
    auto u32 = [](quint32 v) {
        QByteArray b(4, 0);
        qToLittleEndian(v, b.data());
        return b;
    };
    auto u16 = [](quint16 v) {
        QByteArray b(2, 0);
        qToLittleEndian(v, b.data());
        return b;
    };
    QByteArray data;
    for (int i = 0; i < frames * channels; ++i)
        data += u16(quint16((i / channels) % 64 < 32 ? 8000 : -8000));
    QByteArray fmt = u16(1) + u16(quint16(channels)) + u32(quint32(rate))
                     + u32(quint32(rate * channels * bits / 8)) + u16(quint16(channels * bits / 8))
                     + u16(quint16(bits));
    QByteArray body = QByteArray("WAVE") + "fmt " + u32(16) + fmt + beforeData + "data"
                      + u32(quint32(data.size())) + data;
    return QByteArray("RIFF") + u32(quint32(body.size())) + body;
}
