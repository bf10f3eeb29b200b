#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <span>

class RecordSheet;
class SoundOutput;
class SteadyClock;

// Plays a stretch of the microphone's recording through the program's output, and closes the
// output's stream once it has played, unless a run has come to use it.
class AnswerReplay final : public QObject {
    Q_OBJECT
public:
    // All three outlive this.
    AnswerReplay(SoundOutput& output, const SteadyClock& clock, const RecordSheet& sheet, QObject* parent = nullptr);

    // Empty where it plays; else why not, in plain words.
    QString play(std::span<const std::int16_t> mono);
    // `mono` as a WAV file; false where it cannot be written whole.
    static bool save(std::span<const std::int16_t> mono, const QString& path);

private:
    SoundOutput& output_;
    const SteadyClock& clock_;
    QTimer end_;
    QByteArray playing_;  // the sound the output reads while it plays
};
