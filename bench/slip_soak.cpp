// Whether the output takes a step in its stream's time reports for a hold-up it was not: many
// demonstrations and whole 1.2 s trials through the real main window, both cores busy (and, on
// PipeWire, the wrappers' churning client), each judged against a recording of the sink. A
// correction of the due-time map is false when the digit it was made for is heard off the grid
// (by more than a sample) against the digit before it: the sound had no gap the size of it. A notice is wrong when the digits
// it names are not exactly those heard off the grid. For each run with a correction or a digit off
// the grid, the stream's time reports through the run are written to soak-traces/ in the working
// folder (the build folder under `make soak`). Corrections are told apart by whether the stream's
// buffers came late where they were made ("late"): sound can be lost only there. A correction
// the sink shows false although the buffers were late followed a hold-up of the graph itself,
// which the rig's null sink skips as it comes back (its recording has no gap, where a device's
// clock runs on): "false on time" are those with the buffers on time. On PipeWire the server's
// profiler tells whether the recorder fell behind the graph in a run: what it missed is missing
// from the recording, and the sink's judgement of such a run is not to be trusted ("false, rec.
// ok" leaves those runs out).
//
//   slip_soak [--demos N] [--trials M] [--plant]
//     --demos N   demonstrations (100)
//     --trials M  1.2 s trials (5)
//     --plant     in every run, 100 ms after the third digit's tick, the stream's time reports
//                 step one PipeWire cycle (941 frames) later with no gap in the sound, and on
//                 ALSA the buffer is told asked for 60 ms late, as a busy machine's are: a false
//                 step the output must not make good
//
// Runs against one of the private sound servers of `make soak` (tests/sound/).
#include "GraphCycles.h"
#include "PlantedRun.h"
#include "RigProgram.h"
#include "SinkRecorder.h"
#include "TimeTrace.h"
#include "sound/DefaultOutput.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr double kSampleMs = 1000.0 / 44100;
constexpr std::int64_t kPlantedStep = 941;  // 1024 frames at 48 kHz

struct Tally {
    int runs = 0, offGrid = 0, corrections = 0, late = 0, falseCorrections = 0, falseOnTime = 0, notices = 0,
        wrongNotices = 0, planted = 0, recorderBehind = 0, falseRecorderKeptUp = 0;
};

// The corrections in a trace that came where the stream's buffers came late: on PipeWire's own
// stream, the graph's cycle a cycle or more later than due after the buffer before (its own
// cycles held up, or this stream's); through ALSA, a buffer asked for after what was queued
// ahead at the one before had run out, within the three windows before the slip was told.
int lateCorrections(const std::vector<TimeReport>& trace)
{
    int late = 0;
    for (std::size_t i = 1; i < trace.size(); ++i) {
        if (trace[i].slip == 0)
            continue;
        bool found = false;
        for (std::size_t j = i; j >= 1 && j + 48 >= i && !found; --j) {
            const TimeReport &r = trace[j], &before = trace[j - 1];
            const double length = double(r.first - before.first);
            if (r.rateDenom)
                found = j == i && double(r.now - before.now) * 44100 / 1e9 >= 1.5 * length;
            else
                found = r.calledAt - before.calledAt > before.heardAt - before.calledAt;
        }
        late += int(found);
    }
    return late;
}

int slipsSoFar()
{
    const PlacedOutput* output = DefaultOutput::instance().chosen();
    return output ? output->placement().slips() : 0;
}

// The digits the notices say were made good after a hold-up.
std::set<int> madeGood(const QStringList& notices)
{
    static const QRegularExpression digit(QStringLiteral("^Digit (\\d+) of .*made good"), QRegularExpression::MultilineOption);
    std::set<int> digits;
    for (const QString& notice : notices)
        for (auto it = digit.globalMatch(notice); it.hasNext();)
            digits.insert(it.next().captured(1).toInt());
    return digits;
}

QString joined(const std::set<int>& digits)
{
    QStringList parts;
    for (int d : digits)
        parts << QString::number(d);
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(' ');
}

// One run, judged and added to `tally`; its trace written where anything was corrected or off.
void soak(MainWindow& w, MessageRecorder& messages, const PlantedRun::Items& items, const char* kind, int index,
          bool plant, Tally& tally)
{
    PlantedRun::Plants plants;
    if (plant)
        plants[3] = [] {
            if (const PlacedOutput* output = DefaultOutput::instance().chosen())
                const_cast<PlacedOutput*>(output)->plantReportStep(kPlantedStep);
        };
    TimeTrace trace;
    GraphCycles cycles;  // on PipeWire: whether the recorder kept up with the graph
    const bool pipewire = cycles.start();
    const int slipsBefore = slipsSoFar();
    trace.begin();
    const PlantedRun run = PlantedRun::give(w, messages, plants, items);
    trace.end();
    const GraphCycles::Log graph = pipewire ? cycles.stop() : GraphCycles::Log{};
    const int recorderMissed = graph.missed.value(QLatin1String(SinkRecorder::kNodeName));
    const int corrections = slipsSoFar() - slipsBefore;
    const std::set<int> off = run.offGrid(1.5 * kSampleMs), named = run.named(), good = madeGood(run.notices);
    // A correction is judged by the digit it was made for, against the nearest digit before it
    // heard whole (the grid's first against nothing): it is false where the step in their places
    // is more than a sample. One made for a digit not heard whole, or in a run whose first digit
    // was not (no grid), or before the run's first digit was placed, cannot be judged.
    const std::vector<double> errors = run.gridErrors();
    int falseOnes = 0;
    for (int d : good) {
        if (std::isnan(errors[std::size_t(d)]))
            continue;
        double before = 0;
        for (int b = d - 1; b >= 1; --b)
            if (!std::isnan(errors[std::size_t(b)])) {
                before = errors[std::size_t(b)];
                break;
            }
        falseOnes += int(std::fabs(errors[std::size_t(d)] - before) > 1.5 * kSampleMs);
    }
    const int late = lateCorrections(trace.reports());
    ++tally.runs;
    tally.offGrid += int(off.size());
    tally.corrections += corrections;
    tally.late += late;
    tally.falseCorrections += falseOnes;
    tally.falseOnTime += std::max(0, falseOnes - late);
    tally.recorderBehind += int(recorderMissed > 0);
    tally.falseRecorderKeptUp += recorderMissed > 0 ? 0 : falseOnes;
    tally.notices += int(!run.notices.isEmpty());
    tally.wrongNotices += int(off != named);
    tally.planted += int(plant);
    if (corrections == 0 && off.empty())
        return;
    const QString path = QDir::current().absoluteFilePath(
        QStringLiteral("soak-traces/%1-%2-%3.tsv").arg(soundServerName(), QLatin1String(kind)).arg(index));
    std::printf("  %s %d: %d correction(s), %d with the buffers late, %d false; off the grid: %s; made good: %s; named: %s; told: %s\n", kind, index,
                corrections, late, falseOnes, off.empty() ? "none" : qPrintable(run.offsets(1.5 * kSampleMs)), qPrintable(joined(good)),
                qPrintable(joined(named)), run.notices.isEmpty() ? "nothing" : qPrintable(run.notices.join(' ').section("\n\n", 0, 0).replace('\n', ' ')));
    QStringList behind;
    for (auto it = graph.missed.cbegin(); it != graph.missed.cend(); ++it)
        behind << QStringLiteral("%1 %2x").arg(it.key()).arg(it.value());
    if (!behind.isEmpty())
        std::printf("    fell behind the graph: %s\n", qPrintable(behind.join(QStringLiteral(", "))));
    std::printf("    trace (%zu reports, %lld lost): %s\n", trace.reports().size(), static_cast<long long>(trace.lost()),
                trace.write(path) ? qPrintable(path) : "could not be written");
    std::fflush(stdout);
}

int option(const QStringList& args, const char* name, int fallback)
{
    const int at = args.indexOf(QLatin1String(name));
    return at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int demos = option(args, "--demos", 100), trials = option(args, "--trials", 5);
    const bool plant = args.contains(QStringLiteral("--plant"));
    if (!privateSoundServer()) {
        std::fprintf(stderr, "run through `make soak`, which starts the private sound servers\n");
        return 2;
    }
    RigProgram program;
    MessageRecorder& messages = program.messages;
    MainWindow& w = program.main();

    std::vector<std::unique_ptr<QProcess>> spinners;  // both cores busy throughout
    for (int i = 0; i < 2; ++i) {
        spinners.push_back(std::make_unique<QProcess>());
        spinners.back()->start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
    }
    std::printf("Slip soak on %s, both cores loaded: %d demonstration(s), %d 1.2 s trial(s)%s\n", qPrintable(soundServerName()),
                demos, trials, plant ? ", a false report step planted at digit 3 of each" : "");
    std::fflush(stdout);
    Tally tally;
    for (int i = 1; i <= demos; ++i)
        soak(w, messages, PlantedRun::kDemonstration, "demo", i, plant, tally);
    const PlantedRun::Items trial{"pace12Button", 1200, kTrialDigits};
    for (int i = 1; i <= trials; ++i)
        soak(w, messages, trial, "trial", i, plant, tally);
    for (auto& p : spinners) {
        p->kill();
        p->waitForFinished();
    }
    const PlacedOutput* output = DefaultOutput::instance().chosen();
    std::printf("%-15s %5s %9s %12s %5s %6s %14s %15s %8s %14s %15s %8s\n", "route", "runs", "off grid", "corrections",
                "late", "false", "false on time", "false, rec. ok", "notices", "wrong/missing", "recorder behind", "planted");
    std::printf("%-15s %5d %9d %12d %5d %6d %14d %15d %8d %14d %15d %8d\n", qPrintable(soundServerName()), tally.runs,
                tally.offGrid, tally.corrections, tally.late, tally.falseCorrections, tally.falseOnTime,
                tally.falseRecorderKeptUp, tally.notices, tally.wrongNotices, tally.recorderBehind, tally.planted);
    std::printf("output: %s\n", output ? (output->hasStream() ? "stream open" : "stream closed") : "none");
    return 0;
}
