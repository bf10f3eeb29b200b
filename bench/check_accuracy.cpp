// The timing check beside an outside recording of the same sink (parec): what each found, and
// how far apart they are on the intervals between digits. In microphone mode, where the rig has a
// microphone, the latency the check gave beside the delay one recorder heard between the sink and
// the microphone (on PipeWire). From the speakers at each of the volume slider's levels, set as
// the slider sets it: the sink's monitor carries the sound after the volume.
//
//   check_accuracy [--runs N] [--sliders P,Q,...]   N checks from each source and level (3;
//                                                    10,25,50,100 %; the microphone at 100 %)
//
// Runs against one of the private sound servers of `make bench` (tests/sound/).
#include "RigMicrophoneDelay.h"
#include "MessageRecorder.h"
#include "SinkRecorder.h"
#include "mixer/MasterVolume.h"
#include "mixer/AlsaMasterMixer.h"
#include "sound/BackendModule.h"
#include "sound/DefaultRecorder.h"
#include "sound/DefaultOutput.h"
#include "sound/PreciseTimer.h"
#include "timingcheck/TimingCheck.h"
#include "timingcheck/TimingCheckVerdict.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <cmath>
#include <cstdio>

namespace {

// The largest difference between the two on an interval between successive digits, in ms: by
// their onsets, since from a microphone the errors are taken against its own clock.
double largestDisagreement(const TimingCheckResult& self, const TimingCheckResult& outside)
{
    const auto interval = [](const TimingCheckResult& r, int i) {
        const long long onset = r.digits[i].onset, before = r.digits[i - 1].onset;
        return onset >= 0 && before >= 0 ? double(onset - before) * 1000 / 44100 : NAN;
    };
    double largest = 0;
    for (int i = 1; i < self.expected; ++i) {
        const double a = interval(self, i);
        const double b = interval(outside, i);
        if (std::isfinite(a) && std::isfinite(b))
            largest = std::max(largest, std::fabs(a - b));
    }
    return largest;
}

QString figures(const TimingCheckResult& r)
{
    if (!r.judged())
        return TimingCheckVerdict::text(r);
    QString line = QStringLiteral("%1 of %2 found, largest interval error %3 ms, drift %4 ms")
                       .arg(r.found).arg(r.expected).arg(r.largestIntervalErrorMs, 0, 'f', 3).arg(r.driftMs, 0, 'f', 3);
    if (std::isfinite(r.clockPpm))
        line += QStringLiteral(", clock %1 ppm").arg(r.clockPpm, 0, 'f', 1);
    return line;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--runs"));
    const int runs = at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : 3;
    const int levelsAt = args.indexOf(QStringLiteral("--sliders"));
    const QStringList sliders = (levelsAt > 0 && levelsAt + 1 < args.size() ? args[levelsAt + 1] : QStringLiteral("10,25,50,100"))
                                    .split(QLatin1Char(','));
    if (!privateSoundServer()) {
        std::fprintf(stderr, "run through `make bench`, which starts the private sound servers\n");
        return 2;
    }
    DefaultRecorder recorder(DefaultOutput::instance().route(), BackendModule::instance());
    PreciseTimer pace, tail, meter;
    TimingCheck check(DefaultOutput::instance(), recorder, pace, tail, meter);
    const DigitLocator locator;
    std::printf("The timing check beside parec on the sink, %s\n", qPrintable(soundServerName()));
    for (const auto source : {SoundRecorder::Source::Speakers, SoundRecorder::Source::Microphone}) {
        const bool microphone = source == SoundRecorder::Source::Microphone;
        if (microphone && qEnvironmentVariableIsEmpty("OVREL_RIG_MICROPHONE"))
            continue;
        for (const QString& slider : microphone ? QStringList{QStringLiteral("100")} : sliders) {
            AlsaMasterMixer mixer;
            MessageRecorder messages;
            MasterVolume(mixer, messages).setPercent(slider.toInt());
            std::printf("%s, slider %s %% (sink at %d %%):\n", microphone ? "microphone" : "speakers", qPrintable(slider), sinkPercent());
            for (int run = 1; run <= runs; ++run) {
                SinkRecorder outside;
                RigMicrophoneDelay rigDelay;
                const bool delayKnown = microphone && rigDelay.start();
                if (!outside.start() || !check.start(source)) {
                    std::printf("  run %d: could not start\n", run);
                    continue;
                }
                TimingCheckResult self;
                QEventLoop wait;
                QObject::connect(&check, &TimingCheck::finished, &wait, [&](const TimingCheckResult& r) {
                    self = r;
                    wait.quit();
                });
                wait.exec();
                QObject::disconnect(&check, &TimingCheck::finished, &wait, nullptr);
                QTest::qWait(1000);  // the outside recorder's own latency
                const double rigDelayMs = delayKnown ? rigDelay.stopMs() : NAN;
                const TimingCheckResult sink = TimingCheckResult::judge(outside.stop(), locator, TimingCheck::sequence(),
                                                                        TimingCheck::kPaceMs);
                std::printf("  run %d: check %s", run, qPrintable(figures(self)));
                if (microphone)
                    std::printf(", latency %.2f ms (one recorder of both: %.2f ms, moving %.2f ms)", self.latencyMs,
                                rigDelayMs, rigDelay.spreadMs());
                std::printf("\n         sink  %s; intervals apart by %.3f ms at most\n", qPrintable(figures(sink)),
                            largestDisagreement(self, sink));
            }
        }
    }
    pactl({"set-sink-volume", "@DEFAULT_SINK@", "100%"});
    return 0;
}
