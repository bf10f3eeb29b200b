#include "RigCondition.h"

#include "ExamineeMouth.h"
#include "SinkRecorder.h"
#include "listening/DigitSound.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

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

// The sink input of the rig's loopback, by its index; empty where there is none.
QString loopbackInput()
{
    const QString modules = pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("modules")}).value_or(QString());
    QString module;
    for (const QString& line : modules.split(QLatin1Char('\n')))
        if (line.contains(QLatin1String("module-loopback")))
            module = line.section(QLatin1Char('\t'), 0, 0);
    const QString inputs = pactl({QStringLiteral("list"), QStringLiteral("sink-inputs")}).value_or(QString());
    QString input;
    for (const QString& line : inputs.split(QLatin1Char('\n'))) {
        if (const auto m = QRegularExpression(QStringLiteral("^Sink Input #(\\d+)")).match(line); m.hasMatch())
            input = m.captured(1);
        else if (!module.isEmpty() && line.trimmed() == QLatin1String("Owner Module: ") + module)
            return input;
    }
    return {};
}

}  // namespace

bool RigCondition::set(Kind kind)
{
    // The digits at the microphone as loud as the voice, whatever the condition: the witness
    // recording locates them alike, and through the speakers that is the level asked for.
    const QString input = loopbackInput();
    loopbackGain_ = ExamineeMouth::kVoiceRms / digitsRms();
    if (input.isEmpty() || !std::isfinite(loopbackGain_)
        || !pactl({QStringLiteral("set-sink-input-volume"), input, QString::number(loopbackGain_, 'f', 4)}))
        return false;
    noiseRms_ = kind == SpeakersInNoise ? ExamineeMouth::kVoiceRms / 10 : 0;
    if (kind != Headphones)
        return pactl({QStringLiteral("set-default-source"), QStringLiteral("ovrel_microphone.monitor")}).has_value();
    for (const QStringList& load : {QStringList{QStringLiteral("module-null-sink"), QStringLiteral("sink_name=ovrel_quiet_microphone"),
                                                QStringLiteral("rate=44100"), QStringLiteral("channels=2")},
                                    QStringList{QStringLiteral("module-combine-sink"), QStringLiteral("sink_name=ovrel_mouth"),
                                                QStringLiteral("slaves=ovrel_microphone,ovrel_quiet_microphone"),
                                                QStringLiteral("adjust_time=0")}}) {
        const std::optional<QString> module = pactl(QStringList{QStringLiteral("load-module")} + load);
        if (!module)
            return false;
        modules_ << *module;
    }
    mouthSink_ = QStringLiteral("ovrel_mouth");
    // The rig's noise, as tests/sound/with-private-pulse.sh plays it into the other microphone.
    noise_.setStandardInputFile(QStringLiteral("/dev/urandom"));
    noise_.setStandardOutputFile(QProcess::nullDevice());
    noise_.start(QStringLiteral("pacat"), {QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                                           QStringLiteral("--channels=2"), QStringLiteral("--volume=655"),
                                           QStringLiteral("--device=ovrel_quiet_microphone")});
    return noise_.waitForStarted(5000)
           && pactl({QStringLiteral("set-default-source"), QStringLiteral("ovrel_quiet_microphone.monitor")}).has_value();
}

RigCondition::~RigCondition()
{
    if (noise_.state() != QProcess::NotRunning) {
        noise_.kill();
        noise_.waitForFinished(5000);
    }
    for (auto module = modules_.crbegin(); module != modules_.crend(); ++module)
        pactl({QStringLiteral("unload-module"), *module});
    pactl({QStringLiteral("set-default-source"), QStringLiteral("ovrel_microphone.monitor")});
}
