#include "timingcheck/TimingCheckVerdict.h"

#include "protocol/MessageLimits.h"

#include <cmath>

namespace {

using Condition = TimingCheckResult::Condition;
using Problem = TimingCheckResult::Problem;

// A 16-bit level in dB against full scale, to the dB; nothing at all is under the last bit.
QString dB(double level)
{
    return level >= 1 ? QStringLiteral("%1 dB").arg(20 * std::log10(level / 32768), 0, 'f', 0)
                      : QStringLiteral("under -90 dB");
}

// A recording's loudest frame (16-bit steps): "peaks at -72 dB" (of full scale), or "silent:
// under -90 dB".
QString levelInWords(float peak)
{
    return peak >= 1 ? QStringLiteral("peaks at ") + dB(peak) : QStringLiteral("silent: ") + dB(0);
}

QString tooQuiet(const TimingCheckResult& r)
{
    const QString peak = levelInWords(r.level.peak);
    if (r.stoppedAfter > 0)
        return QStringLiteral("The recording is too quiet to judge (%1): the first %2 digits could hardly be heard, if at all, "
                              "so the check stopped. %3")
            .arg(peak)
            .arg(r.stoppedAfter)
            .arg(r.fromMicrophone ? QStringLiteral("Check that the microphone is connected, switched on and not muted, "
                                                   "and that the speakers are on; then check again.")
                                  : QStringLiteral("Raise the volume slider and check again."));
    return r.fromMicrophone ? QStringLiteral("The microphone's recording is too quiet to judge (%1). Raise the volume slider "
                                             "or the microphone's input level, or bring the microphone nearer the speaker, "
                                             "and check again.").arg(peak)
                            : QStringLiteral("The recording is too quiet to judge (%1). Raise the volume slider and check again.").arg(peak);
}

// Why a recording of which most digits could not be made out is not judged, and what to do.
QString digitsLost(const TimingCheckResult& r)
{
    const QString peak = levelInWords(r.level.peak);
    if (r.condition == Condition::TooNoisy)
        return QStringLiteral("The recording is too noisy to judge: only %1 of %2 digits could be made out, its noise "
                              "(%3) lying only %4 dB under the digits (%5). %6")
            .arg(r.found).arg(r.expected).arg(dB(r.level.floor)).arg(r.level.floorUnderPeakDb(), 0, 'f', 0).arg(peak)
            .arg(r.fromMicrophone ? QStringLiteral("Check again in a quieter room, or with the microphone nearer the speaker.")
                                  : QStringLiteral("Close other programs that play sound and check again."));
    return QStringLiteral("Only %1 of %2 digits could be made out, though the recording is neither too quiet nor too "
                          "noisy (%3): other sound was recorded over them or cut into them. Close other programs that "
                          "play sound and check again.").arg(r.found).arg(r.expected).arg(peak);
}

// From a microphone, a digit not heard whole is one its room may have hidden.
QString problemInWords(int place, const TimingCheckResult::Digit& digit, bool fromMicrophone)
{
    if (fromMicrophone && !digit.whole)
        return QStringLiteral("Digit %1 could not be made out.").arg(place + 1);
    if (digit.problem == Problem::Missing)
        return QStringLiteral("Digit %1 is missing.").arg(place + 1);
    if (digit.problem == Problem::NotWhole)
        return QStringLiteral("Digit %1 was garbled.").arg(place + 1);
    return QStringLiteral("Digit %1 came %2 ms %3.")
        .arg(place + 1).arg(std::fabs(digit.errorMs), 0, 'f', 1).arg(digit.errorMs > 0 ? "late" : "early");
}

QString judged(const TimingCheckResult& r)
{
    const QString clock = r.clockOff()
        ? QStringLiteral("The microphone's clock and the sound output's differ by %1 ppm, more than sound cards' clocks do: "
                         "one of them runs at another rate than it claims, and the pace may be off by %2 ms a digit.\n")
              .arg(r.clockPpm, 0, 'f', 0).arg(std::fabs(r.clockPpm) * 1e-6 * r.paceMs, 0, 'f', 1)
        : QString();
    if (r.allOnTime())
        return clock + QStringLiteral("All %1 digits on time: largest interval error %2 ms")
                           .arg(r.expected).arg(r.largestIntervalErrorMs, 0, 'f', 2);
    QStringList problems;
    for (int i = 0; i < r.expected; ++i)
        if (r.digits[i].problem != Problem::None)
            problems << problemInWords(i, r.digits[i], r.fromMicrophone);
    const int count = int(problems.size());
    if (count > kMostDigitsNamed) {
        problems = problems.mid(0, kMostDigitsNamed);
        problems << QStringLiteral("And %1 more.").arg(count - kMostDigitsNamed);
    }
    // A room's echoes and noise can hide a digit or move where it seems to begin.
    if (r.fromMicrophone)
        problems << QStringLiteral("Through a microphone, a room's echoes and noise can make a digit that came on time "
                                   "look late or unclear: check again nearer the speaker, or what the computer sends "
                                   "to the speakers.");
    return clock + QStringLiteral("%1 of %2 digits were not heard whole and on time.\n%3")
                       .arg(count).arg(r.expected).arg(problems.join(QLatin1Char('\n')));
}

}  // namespace

QString TimingCheckVerdict::text(const TimingCheckResult& result)
{
    switch (result.condition) {
    case Condition::Judged:
        return judged(result);
    case Condition::TooQuiet:
        return tooQuiet(result);
    case Condition::TooNoisy:
    case Condition::DigitsLost:
        break;
    }
    return digitsLost(result);
}

QStringList TimingCheckVerdict::figures(const TimingCheckResult& r)
{
    if (!r.judged())
        return {};
    QStringList lines = {QStringLiteral("Digits found: %1 of %2").arg(r.found).arg(r.expected),
                         QStringLiteral("Largest interval error: %1 ms").arg(r.largestIntervalErrorMs, 0, 'f', 3),
                         QStringLiteral("Drift: %1 ms").arg(r.driftMs, 0, 'f', 3)};
    if (std::isfinite(r.clockPpm))
        lines << QStringLiteral("Clock difference: %1 ppm").arg(std::round(r.clockPpm) + 0.0, 0, 'f', 0);  // never "-0"
    if (std::isfinite(r.latencyMs))
        lines << QStringLiteral("Latency: %1 ms").arg(r.latencyMs, 0, 'f', 1);
    return lines;
}
