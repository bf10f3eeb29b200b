#include "RigCondition.h"

#include "ExamineeMouth.h"
#include "SinkRecorder.h"
#include "SyntheticRoom.h"
#include "listening/DigitSound.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <random>

const QStringList RigCondition::kNames{QStringLiteral("headphones"), QStringLiteral("speakers"), QStringLiteral("speakers+noise")};

namespace {

// The digits' RMS over their sounding part (their 10 ms blocks within 30 dB of each one's loudest,
// as the synthesised words are scaled), of full scale, over all nine.
double digitsRms()
{
    double energy = 0;
    long long blocks = 0;
    for (int digit = 1; digit <= 9; ++digit) {
        const std::vector<std::int16_t> sound = digitSound(digit);
        std::vector<double> block;
        for (std::size_t i = 0; i + 441 <= sound.size(); i += 441) {
            double e = 0;
            for (std::size_t j = i; j < i + 441; ++j)
                e += double(sound[j]) * sound[j] / (441.0 * 32768 * 32768);
            block.push_back(e);
        }
        const double loudest = block.empty() ? 0 : *std::max_element(block.begin(), block.end());
        for (const double e : block)
            if (e >= loudest * 1e-3) {
                energy += e;
                ++blocks;
            }
    }
    return blocks ? std::sqrt(energy / double(blocks)) : NAN;
}

// The sink input the module `module` plays, by its index; empty where there is none.
QString inputOf(const QString& module)
{
    const QString inputs = pactl({QStringLiteral("list"), QStringLiteral("sink-inputs")}).value_or(QString());
    QString input;
    for (const QString& line : inputs.split(QLatin1Char('\n'))) {
        if (const auto m = QRegularExpression(QStringLiteral("^Sink Input #(\\d+)")).match(line); m.hasMatch())
            input = m.captured(1);
        else if (line.trimmed() == QLatin1String("Owner Module: ") + module)
            return input;
    }
    return {};
}

const QStringList kFormat{QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                          QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=20")};

}  // namespace

bool RigCondition::load(const QStringList& arguments)
{
    const std::optional<QString> module = pactl(QStringList{QStringLiteral("load-module")} + arguments);
    if (module)
        modules_ << *module;
    return module.has_value();
}

bool RigCondition::set(Kind kind)
{
    if (!load({QStringLiteral("module-null-sink"), QStringLiteral("sink_name=ovrel_program_microphone"), QStringLiteral("rate=44100"),
               QStringLiteral("channels=2")})
        || !load({QStringLiteral("module-combine-sink"), QStringLiteral("sink_name=ovrel_mouth"),
                  QStringLiteral("slaves=ovrel_microphone,ovrel_program_microphone"), QStringLiteral("adjust_time=0")}))
        return false;
    if (kind != Headphones) {
        // As the rig's own loopback, into the program's microphone, the digits as loud as the voice.
        if (!load({QStringLiteral("module-loopback"), QStringLiteral("source=ovrel_null.monitor"), QStringLiteral("sink=ovrel_program_microphone"),
                   QStringLiteral("latency_msec=60"), QStringLiteral("adjust_time=0"), QStringLiteral("source_dont_move=true"),
                   QStringLiteral("sink_dont_move=true")}))
            return false;
        const QString input = inputOf(modules_.back());
        loopbackGain_ = ExamineeMouth::kVoiceRms / digitsRms();
        if (input.isEmpty() || !std::isfinite(loopbackGain_)
            || !pactl({QStringLiteral("set-sink-input-volume"), input, QString::number(loopbackGain_, 'f', 4)}))
            return false;
    }
    if (kind == SpeakersInNoise) {
        std::mt19937 random(5);
        noiseSound_ = SyntheticRoom::pinkNoise(44100 * 10, ExamineeMouth::kVoiceRms / 10, random);
        noise_.setStandardOutputFile(QProcess::nullDevice());
        noise_.start(QStringLiteral("pacat"), QStringList{QStringLiteral("--device=ovrel_program_microphone")} + kFormat);
        if (!noise_.waitForStarted(5000))
            return false;
        noiseClock_.start();
        feedNoise();
        noiseFeeder_.setInterval(20);
        QObject::connect(&noiseFeeder_, &QTimer::timeout, [this] { feedNoise(); });
        noiseFeeder_.start();
    }
    return pactl({QStringLiteral("set-default-source"), QStringLiteral("ovrel_program_microphone.monitor")}).has_value();
}

// The noise is written a tenth of a second ahead of its time, looped.
void RigCondition::feedNoise()
{
    const long long until = noiseClock_.elapsed() * 441 / 10 + 4410;
    QByteArray bytes(qsizetype(std::max(0LL, until - noiseWritten_)) * 4, Qt::Uninitialized);
    auto* out = reinterpret_cast<std::int16_t*>(bytes.data());
    for (long long f = noiseWritten_; f < until; ++f)
        out[2 * (f - noiseWritten_)] = out[2 * (f - noiseWritten_) + 1]
            = std::int16_t(std::lround(std::clamp(noiseSound_[std::size_t(f) % noiseSound_.size()], -1.0f, 1.0f) * 32767));
    noise_.write(bytes);
    noiseWritten_ = std::max(noiseWritten_, until);
}

RigCondition::~RigCondition()
{
    noiseFeeder_.stop();
    if (noise_.state() != QProcess::NotRunning) {
        noise_.kill();
        noise_.waitForFinished(5000);
    }
    for (auto module = modules_.crbegin(); module != modules_.crend(); ++module)
        pactl({QStringLiteral("unload-module"), *module});
    pactl({QStringLiteral("set-default-source"), QStringLiteral("ovrel_microphone.monitor")});
}
