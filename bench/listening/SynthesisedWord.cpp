#include "SynthesisedWord.h"

#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace {

constexpr double kUnderLoudest = 3.162e-4;  // 35 dB, in energy
constexpr double kRisen = 0.01;                  // 20 dB
constexpr std::size_t kMs = 44;                  // samples of a 1 ms frame, near enough

bool run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace

SynthesisedWord::SynthesisedWord(const Voice& voice, const QString& text, const QString& scratchDir, double rms)
{
    const QString wav = scratchDir + "/w.wav", raw = scratchDir + "/w.f32";
    QStringList arguments;
    for (QString a : voice.command.mid(1))
        arguments << a.replace("%t", text).replace("%o", wav);
    if (!run(voice.command[0], arguments)
        || !run("sox", {"-D", wav, "-r", "44100", "-c", "1", "-e", "floating-point", "-b", "32", "-t", "raw", raw}))
        qFatal("could not synthesise \"%s\" with %s", qPrintable(text), voice.name);
    QFile f(raw);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("no output from sox");
    const QByteArray bytes = f.readAll();
    std::vector<float> x(std::size_t(bytes.size()) / 4);
    std::memcpy(x.data(), bytes.constData(), x.size() * 4);

    const std::size_t frames = x.size() / kMs;
    std::vector<double> frame(frames, 0.0);
    for (std::size_t k = 0; k < frames; ++k)
        for (std::size_t i = k * kMs; i < (k + 1) * kMs; ++i)
            frame[k] += double(x[i]) * x[i] / kMs;
    double loudest = 0;
    for (std::size_t k = 0; k + 10 <= frames; ++k)
        loudest = std::max(loudest, std::accumulate(frame.begin() + k, frame.begin() + k + 10, 0.0) / 10);
    std::size_t rise = 0;
    while (rise < frames && frame[rise] < loudest * kRisen)
        ++rise;
    std::size_t first = rise, last = frames;
    while (first > 0 && frame[first - 1] >= loudest * kUnderLoudest)
        --first;
    while (last > first && frame[last - 1] < loudest * kUnderLoudest)
        --last;
    samples.assign(x.begin() + std::ptrdiff_t(first * kMs), x.begin() + std::ptrdiff_t(last * kMs));

    double sum = 0;
    int blocks = 0;
    for (std::size_t i = 0; i + 441 <= samples.size(); i += 441) {
        double e = 0;
        for (std::size_t j = i; j < i + 441; ++j)
            e += double(samples[j]) * samples[j] / 441;
        if (e >= loudest * 1e-3)
            sum += e, ++blocks;
    }
    const float gain = float(rms / std::sqrt(sum / std::max(blocks, 1)));
    for (float& s : samples)
        s *= gain;
}
