#include "listening/AnswerReplay.h"

#include "listening/WaveBytes.h"
#include "recordsheet/RecordSheet.h"
#include "sound/SoundOutput.h"
#include "sound/SteadyClock.h"
#include "sound/WaveImage.h"

#include <QSaveFile>

AnswerReplay::AnswerReplay(SoundOutput& output, const SteadyClock& clock, const RecordSheet& sheet, QObject* parent)
    : QObject(parent), output_(output), clock_(clock)
{
    end_.setSingleShot(true);
    connect(&end_, &QTimer::timeout, this, [this, &sheet] {
        if (!sheet.givingNow())
            output_.close();
    });
}

QString AnswerReplay::play(std::span<const std::int16_t> mono)
{
    playing_ = waveBytes(mono, 2);
    WaveImage image;
    WaveImage::parse(playing_.constData(), std::size_t(playing_.size()), image);
    if (!output_.start(image, clock_.now()))
        return QStringLiteral("The answer could not be played: the sound output is not available.");
    end_.start(int(mono.size() * 1000 / 44100) + 500);
    return {};
}

bool AnswerReplay::save(std::span<const std::int16_t> mono, const QString& path)
{
    QSaveFile file(path);
    const QByteArray bytes = waveBytes(mono, 1);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
