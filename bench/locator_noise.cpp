// How the timing check's judgement holds up in a room: the check sequence as a perfect output
// gives it, then with a fixed delay, reverberation (an exponentially decaying noise tail) and
// steady white noise added, as a microphone would hear it. Prints, for each room: the digits
// found whole, the lowest match, the largest interval error and the verdict's first line. Then the
// sequence at each level from full scale down to under the last bit, rounded to 16 bits, at
// levels of white noise, and on a recorder's clock of its own: the digits found whole, those
// found exactly (to the sample, in speaker mode; within 1 sample, on the recorder's own clock,
// in microphone mode) and the verdict's first line; `--fine` for the takes alone, 1 or 2 dB apart
// around where digits begin to be lost. Needs no sound server (make bench).
#include "RoomSimulation.h"
#include "SyntheticTake.h"
#include "timingcheck/TimingCheck.h"
#include "SequenceRecording.h"
#include "timingcheck/TimingCheckVerdict.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

QString firstLine(const TimingCheckResult& result)
{
    return TimingCheckVerdict::text(result).section(QLatin1Char('\n'), 0, 0);
}

void rooms(const DigitLocator& locator)
{
    const QByteArray dry = sequenceRecording(TimingCheck::sequence(), TimingCheck::kPaceMs);
    unsigned seed = 7;
    std::printf("Timing check in a room (21 digits at 1.2 s; speech level %s)\n", "as recorded, then 1/10");
    std::printf("%-6s %-7s %-6s %5s %9s %11s  %s\n", "RT60 s", "SNR dB", "level", "whole", "min match", "max int ms", "verdict");
    std::printf("%-6s %-7s %-6s %5s %9s %11s  %s\n", "", "", "", "", "", "", "microphone mode: whole, min match, max int ms, verdict");
    for (double gain : {1.0, 0.1})
        for (double rt60 : {0.0, 0.3, 0.6})
            for (double snr : {double(INFINITY), 40.0, 30.0, 20.0, 10.0}) {
                const QByteArray recording = inRoom(dry, rt60, snr, gain, ++seed);
                const auto found = locator.locate(recording);
                double lowest = 1;
                for (const auto& f : found)
                    lowest = std::min(lowest, f.match);
                const TimingCheckResult r = TimingCheckResult::judge(recording, locator, TimingCheck::sequence(), TimingCheck::kPaceMs);
                std::printf("%-6.1f %-7s %-6.1f %2d/%-2d %9.3f %11.3f  %s\n", rt60,
                            std::isfinite(snr) ? qPrintable(QString::number(snr)) : "-", gain, r.found, r.expected,
                            found.empty() ? 0.0 : lowest, r.largestIntervalErrorMs, qPrintable(firstLine(r)));
                const auto sequence = TimingCheck::sequence();
                const auto heard = locator.locateSequence(recording, {sequence.begin(), sequence.end()}, TimingCheck::kPaceMs * 44.1);
                lowest = 1;
                for (const auto& f : heard)
                    lowest = std::min(lowest, f.match);
                const TimingCheckResult m = TimingCheckResult::judge(recording, locator, sequence, TimingCheck::kPaceMs, true);
                std::printf("%-36s %2d/%-2d %9.3f %11.3f  %s\n", "", m.found, m.expected, lowest, m.largestIntervalErrorMs,
                            qPrintable(firstLine(m)));
            }
}

// One take of the sequence: its conditions, then in each mode the digits found whole, those at
// their true onsets and the verdict's first line.
void take(const DigitLocator& locator, const TakeConditions& conditions)
{
    const SyntheticTake take = syntheticTake(TimingCheck::sequence(), TimingCheck::kPaceMs, conditions);
    std::printf("%-4.0f%-4s %-8s %-6.0f", conditions.levelDb, conditions.floored ? "fl" : "",
                std::isfinite(conditions.noiseDbfs) ? qPrintable(QString::number(conditions.noiseDbfs)) : "-", conditions.clockPpm);
    for (bool microphone : {false, true}) {
        const TimingCheckResult r = TimingCheckResult::judge(take.sound, locator, TimingCheck::sequence(), TimingCheck::kPaceMs, microphone);
        int exact = 0;
        for (int i = 0; i < r.expected; ++i)
            exact += r.digits[i].whole && std::llabs(r.digits[i].onset - take.onsets[i]) <= (microphone ? 1 : 0);
        std::printf(" %2d %2d  %-60s", r.found, exact, qPrintable(firstLine(r).left(60)));
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool fine = app.arguments().contains(QStringLiteral("--fine"));
    const DigitLocator locator;
    if (!fine)
        rooms(locator);
    std::printf("\nThe sequence at a level (fl: floored to 16 bits, not rounded), over noise, on the recorder's own clock\n");
    std::printf("%-7s %-8s %-6s %-14s %s\n", "level", "noise", "clock", "whole, exact", "verdict (speaker mode / microphone mode)");
    if (fine) {  // around where digits begin to be lost
        for (double level = -50; level >= -76; level -= 1)
            take(locator, {level, 0, -INFINITY, {}});
        for (double level : {-60.0, -64.0, -66.0, -68.0, -70.0, -72.0, -96.0, -102.0})
            take(locator, {level, 0, -INFINITY, {}, 1, true});
        for (double noise = -42; noise <= -24; noise += 2)
            take(locator, {0, 0, noise, {}});
        for (double noise = -94; noise <= -82; noise += 2)
            take(locator, {-60, 0, noise, {}});
        return 0;
    }
    for (double level = 0; level >= -108; level -= 6)
        take(locator, {level, 0, -INFINITY, {}});
    for (double noise : {-80.0, -70.0, -60.0, -50.0, -45.0, -40.0, -35.0, -30.0, -25.0, -20.0})
        take(locator, {0, 0, noise, {}});
    for (double noise : {-100.0, -96.0, -90.0, -84.0})
        take(locator, {-60, 0, noise, {}});
    for (double ppm : {50.0, 200.0, 1000.0, 2000.0})
        take(locator, {0, ppm, -INFINITY, {}});
    return 0;
}
