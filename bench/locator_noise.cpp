// How the timing check's judgement holds up in a room: the check sequence as a perfect output
// gives it, then with a fixed delay, reverberation (an exponentially decaying noise tail) and
// steady white noise added, as a microphone would hear it. Prints, for each room: the digits
// found whole, the lowest match, the largest interval error and the verdict's first line.
// Needs no sound server (make bench).
#include "presentation/TimingCheck.h"
#include "soundcheck/SequenceRecording.h"
#include "soundcheck/TimingCheckResult.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

// Mono float of the stereo recording's left channel, and back.
std::vector<float> left(const QByteArray& stereo16)
{
    const auto* s = reinterpret_cast<const std::int16_t*>(stereo16.constData());
    std::vector<float> x(std::size_t(stereo16.size() / 4));
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = s[2 * i];
    return x;
}

QByteArray stereo(const std::vector<float>& x)
{
    QByteArray out(qsizetype(x.size()) * 4, '\0');
    auto* s = reinterpret_cast<std::int16_t*>(out.data());
    for (std::size_t i = 0; i < x.size(); ++i)
        s[2 * i] = s[2 * i + 1] = std::int16_t(std::clamp(x[i], -32768.0f, 32767.0f));
    return out;
}

// A room: `rt60` seconds of reverberation (0: none), `snrDb` of the speech's RMS over white noise
// (infinite: none), at `gain` of the output's level.
QByteArray room(const std::vector<float>& dry, double rt60, double snrDb, double gain, std::mt19937& random)
{
    std::vector<float> wet(dry.size());
    for (std::size_t i = 0; i < dry.size(); ++i)
        wet[i] = float(dry[i] * gain);
    if (rt60 > 0) {  // a sparse tail: one reflection every 2 ms, decaying by 60 dB over rt60
        std::normal_distribution<double> tap(0, 0.35);
        const std::size_t step = 88, length = std::size_t(rt60 * 44100);
        std::vector<float> out = wet;
        for (std::size_t lag = step; lag < length; lag += step) {
            const float g = float(tap(random) * std::pow(10.0, -3.0 * double(lag) / double(length)));
            for (std::size_t i = lag; i < wet.size(); ++i)
                out[i] += g * wet[i - lag];
        }
        wet = out;
    }
    double speech = 0;
    std::size_t loud = 0;
    for (float v : wet)
        if (std::fabs(v) > 100) {
            speech += double(v) * v;
            ++loud;
        }
    const double rms = std::sqrt(speech / double(std::max<std::size_t>(loud, 1)));
    if (std::isfinite(snrDb)) {
        std::normal_distribution<double> noise(0, rms * std::pow(10.0, -snrDb / 20));
        for (float& v : wet)
            v += float(noise(random));
    }
    return stereo(wet);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::vector<float> dry = left(sequenceRecording(TimingCheck::sequence(), TimingCheck::kPaceMs));
    const DigitLocator locator;
    std::mt19937 random(7);
    std::printf("Timing check in a room (21 digits at 1.2 s; speech level %s)\n", "as recorded, then 1/10");
    std::printf("%-6s %-7s %-6s %5s %9s %11s  %s\n", "RT60 s", "SNR dB", "level", "whole", "min match", "max int ms", "verdict");
    for (double gain : {1.0, 0.1})
        for (double rt60 : {0.0, 0.3, 0.6})
            for (double snr : {double(INFINITY), 40.0, 30.0, 20.0, 10.0}) {
                const QByteArray recording = room(dry, rt60, snr, gain, random);
                const auto found = locator.locate(recording);
                double lowest = 1;
                for (const auto& f : found)
                    lowest = std::min(lowest, f.match);
                const TimingCheckResult r = TimingCheckResult::judge(recording, locator, TimingCheck::sequence(), TimingCheck::kPaceMs);
                std::printf("%-6.1f %-7s %-6.1f %2d/%-2d %9.3f %11.3f  %s\n", rt60,
                            std::isfinite(snr) ? qPrintable(QString::number(snr)) : "-", gain, r.found, r.expected,
                            found.empty() ? 0.0 : lowest, r.largestIntervalErrorMs, qPrintable(r.verdict.section('\n', 0, 0)));
            }
    return 0;
}
