// How the timing check's judgement holds up in a room: the check sequence as a perfect output
// gives it, then with a fixed delay, reverberation (an exponentially decaying noise tail) and
// steady white noise added, as a microphone would hear it. Prints, for each room: the digits
// found whole, the lowest match, the largest interval error and the verdict's first line.
// Needs no sound server (make bench).
#include "RoomSimulation.h"
#include "presentation/TimingCheck.h"
#include "soundcheck/SequenceRecording.h"
#include "soundcheck/TimingCheckResult.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>


int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray dry = sequenceRecording(TimingCheck::sequence(), TimingCheck::kPaceMs);
    const DigitLocator locator;
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
                            found.empty() ? 0.0 : lowest, r.largestIntervalErrorMs, qPrintable(r.verdict.section('\n', 0, 0)));
                const auto sequence = TimingCheck::sequence();
                const auto heard = locator.locateSequence(recording, {sequence.begin(), sequence.end()}, TimingCheck::kPaceMs * 44.1);
                lowest = 1;
                for (const auto& f : heard)
                    lowest = std::min(lowest, f.match);
                const TimingCheckResult m = TimingCheckResult::judge(recording, locator, sequence, TimingCheck::kPaceMs, true);
                std::printf("%-36s %2d/%-2d %9.3f %11.3f  %s\n", "", m.found, m.expected, lowest, m.largestIntervalErrorMs,
                            qPrintable(m.verdict.section('\n', 0, 0)));
            }
    return 0;
}
