// Measures how well the digits keep time: runs the real main window (real timers, real output
// stream) through every item set, records the sound server's sink and finds each digit in it.
// Prints, per item set: digits found, sequence, inter-onset error, drift, tick-to-onset spread
// and, on PipeWire, how often the recorder / the other nodes fell behind the graph (a cycle
// missed); then the digit player's own cost, start-up time and resident memory.
//
//   onset_timing [--load] [--quick] [--typing] [--stall | --freeze]
//     --load   keeps both cores busy with two spinning processes while measuring
//     --typing marks answers on the record sheet at ten keys a second throughout
//     --quick  the demonstration and the 1.2 s trial only
//     --stall  halfway through each trial, starves the audio thread for 400 ms (two real-time
//              spinners above its priority), so that the stream underruns once
//     --freeze halfway through each trial, stops the sound server too, for 100 ms, as a busy
//              host stops a virtual machine (the spinners above the server's priority)
//
// Runs against one of the private sound servers of `make bench` (tests/sound/).
#include "timingcheck/DigitLocator.h"
#include "GraphCycles.h"
#include "SinkRecorder.h"
#include "TempSettings.h"
#include "app/RealServices.h"
#include "app/Startup.h"
#include "session/TestSession.h"
#include "MessageRecorder.h"
#include "sound/PacingTimer.h"
#include "sound/DefaultOutput.h"
#include "ProgramEndRecorder.h"
#include "protocol/DigitLists.h"
#include "sound/DigitPlayer.h"
#include "app/MainWindow.h"
#include "session/TestSession.h"
#include "recordsheet/RecordSheetWindow.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kRate = 44100.0;

struct MeasuredSet {
    const char* name;
    bool trial;
    const char* button;  // the choice that selects it
    int paceMs;
    std::vector<int> digits;
};

std::vector<MeasuredSet> itemSets(bool quick)
{
    const std::vector<int> demo(kDemonstrationDigits.begin(), kDemonstrationDigits.end());
    const std::vector<int> practice(kPracticeDigits.begin(), kPracticeDigits.end());
    const std::vector<int> trial(kTrialDigits.begin(), kTrialDigits.end());
    if (quick)
        return {{"Demo", false, "demoButton", 2400, demo}, {"Trial 1.2", true, "pace12Button", 1200, trial}};
    return {{"Demo", false, "demoButton", 2400, demo},
            {"Practice 1", false, "practice1Button", 2400, practice},
            {"Practice 2", false, "practice2Button", 2400, practice},
            {"Trial 2.4", true, "pace24Button", 2400, trial},
            {"Trial 2.0", true, "pace20Button", 2000, trial},
            {"Trial 1.6", true, "pace16Button", 1600, trial},
            {"Trial 1.2", true, "pace12Button", 1200, trial}};
}

double mean(const std::vector<double>& v)
{
    double s = 0;
    for (double x : v)
        s += x;
    return v.empty() ? 0 : s / double(v.size());
}

double sd(const std::vector<double>& v)
{
    const double m = mean(v);
    double s = 0;
    for (double x : v)
        s += (x - m) * (x - m);
    return v.empty() ? 0 : std::sqrt(s / double(v.size()));
}

double maxAbs(const std::vector<double>& v)
{
    double m = 0;
    for (double x : v)
        m = std::max(m, std::fabs(x));
    return m;
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Real-time spinners on both cores, halfway through each trial: their priority, how long, and
// what that does.
struct Stall {
    const char* priority;
    const char* seconds;
    const char* what;
};

// Runs one item set and reports it; true when every digit was found in order.
bool measure(MainWindow& w, const MeasuredSet& set, const DigitLocator& locator, std::optional<Stall> stall,
             QSet<int>& cycleLengths)
{
    std::vector<Clock::time_point> due;
    PacingTimer& timer = set.trial ? w.session().trialTimer() : w.session().introductionTimer();
    const auto ticks = QObject::connect(&timer, &PacingTimer::ticked, [&] {
        due.push_back(timer.dueTime());
        if (stall && set.trial && due.size() == set.digits.size() / 2)
            for (int i = 0; i < 2; ++i)  // `timeout` runs above the spinner, so it gets to end it
                QProcess::startDetached(QStringLiteral("chrt"), {"-f", "99", "timeout", stall->seconds, "chrt", "-f", stall->priority, "sh", "-c", "while :; do :; done"});
    });

    SinkRecorder recorder;
    if (!recorder.start()) {
        std::printf("%-11s  could not record the sink\n", set.name);
        return false;
    }
    w.findChild<QRadioButton*>(QLatin1String(set.button))->click();
    w.findChild<QToolButton*>(QStringLiteral("startStopButton"))->click();
    GraphCycles cycles;  // while the program's stream is open: from Start to its last digit
    const bool pipewire = cycles.start();
    while (w.engine().isRunning())
        QTest::qWait(50);
    QTest::qWait(1500);  // the last digit
    const GraphCycles::Log graph = pipewire ? cycles.stop() : GraphCycles::Log{};
    QTest::qWait(1000);  // the sink's own latency
    const auto found = locator.locate(recorder.stop());
    QObject::disconnect(ticks);
    cycleLengths.unite(graph.lengths);
    const int recorderMissed = graph.missed.value(QLatin1String(SinkRecorder::kNodeName));
    int missed = 0;
    for (int n : graph.missed)
        missed += n;

    std::vector<int> heard;
    for (const auto& f : found)
        heard.push_back(f.digit);
    const bool inOrder = heard == set.digits;
    const double paceFrames = set.paceMs * kRate / 1000;
    std::vector<double> intervalErr, drift, latency;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const double onset = double(found[i].sample - found[0].sample);
        drift.push_back(onset - double(i) * paceFrames);
        if (i > 0)
            intervalErr.push_back(double(found[i].sample - found[i - 1].sample) - paceFrames);
        if (i < due.size()) {
            const double dueSeconds = std::chrono::duration<double>(due[i] - due[0]).count();
            latency.push_back((onset / kRate - dueSeconds) * 1e6);  // µs, relative to the first
        }
    }
    const double frameMs = 1000 / kRate;
    std::printf("%-11s %3zu/%-3zu %-4s %8.4f %8.4f %8.4f %6.1f %8.1f %10.1f %10.1f %7s\n", set.name,
                found.size(), set.digits.size(), inOrder ? "ok" : "BAD", mean(intervalErr) * frameMs,
                sd(intervalErr) * frameMs, maxAbs(intervalErr) * frameMs, maxAbs(intervalErr),
                maxAbs(drift), sd(latency),
                latency.empty() ? 0.0
                                : *std::max_element(latency.begin(), latency.end())
                                      - *std::min_element(latency.begin(), latency.end()),
                pipewire ? qPrintable(QStringLiteral("%1/%2").arg(recorderMissed).arg(missed - recorderMissed)) : "-");
    if (missed > 0) {
        QStringList nodes;
        for (auto it = graph.missed.cbegin(); it != graph.missed.cend(); ++it)
            nodes << QStringLiteral("%1 %2x").arg(it.key()).arg(it.value());
        std::printf("            fell behind: %s\n", qPrintable(nodes.join(QStringLiteral(", "))));
    }
    std::fflush(stdout);
    return inOrder;
}

void measureDigitPlayer()
{
    DigitPlayer player(DefaultOutput::instance());
    std::vector<double> us;
    for (int i = 0; i < 2000; ++i) {
        const auto t = Clock::now();
        player.play(1 + i % 9, t);
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t).count());
    }
    std::sort(us.begin(), us.end());
    std::printf("Starting a digit on the UI thread: median %.1f us, 99th percentile %.1f us, max %.1f us\n",
                us[us.size() / 2], us[us.size() * 99 / 100], us.back());
}

}  // namespace

int main(int argc, char** argv)
{
    const auto begun = Clock::now();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool load = args.contains(QStringLiteral("--load"));
    const bool quick = args.contains(QStringLiteral("--quick"));
    const bool typing = args.contains(QStringLiteral("--typing"));
    std::optional<Stall> stall;
    if (args.contains(QStringLiteral("--stall")))
        stall = Stall{"50", "0.4", "one stall per trial"};  // above the audio thread, below the server: longer than the buffers
    else if (args.contains(QStringLiteral("--freeze")))
        stall = Stall{"95", "0.1", "the machine stopped once per trial"};  // above the server too
    if (!privateSoundServer()) {
        std::fprintf(stderr, "run through `make bench`, which starts the private sound servers\n");
        return 2;
    }
    TempSettings settings;
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("OVREL"))
        .setValue(QStringLiteral("Settings/Volume"), QStringLiteral("100"));
    ProgramEndRecorder exits;
    MessageRecorder messages;
    RealServices real{messages, exits};
    pactl({"set-sink-volume", "@DEFAULT_SINK@", "100%"});

    std::unique_ptr<QWidget> window(showMainWindow([&] { return loadMainWindow(real.services()); }, messages, exits));
    QCoreApplication::processEvents();
    const double startupMs = std::chrono::duration<double, std::milli>(Clock::now() - begun).count();
    auto& w = *static_cast<MainWindow*>(window.get());

    std::vector<std::unique_ptr<QProcess>> spinners;
    if (load) {
        for (int i = 0; i < 2; ++i) {
            spinners.push_back(std::make_unique<QProcess>());
            spinners.back()->start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        }
    }
    // The examiner at the sheet: Space, Space, Space, X, ... every 100 ms, each a mark and a repaint.
    QTimer typist;
    if (typing) {
        w.findChild<QAction*>(QStringLiteral("recordSheetAction"))->trigger();
        QWidget* grid = w.recordSheetWindow()->findChild<QWidget*>(QStringLiteral("sheetGrid"));
        QObject::connect(&typist, &QTimer::timeout, grid, [grid, n = 0]() mutable {
            const int key = n++ % 4 == 3 ? Qt::Key_X : Qt::Key_Space;
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_X ? QStringLiteral("x") : QStringLiteral(" "));
                QCoreApplication::sendEvent(grid, &event);
            }
        });
        typist.start(100);
    }
    std::printf("Onset timing on %s, %s%s%s%s\n", qPrintable(soundServerName()), load ? "both cores loaded" : "idle",
                typing ? ", typing on the record sheet at 10 keys/s" : "", stall ? ", " : "", stall ? stall->what : "");
    std::printf("%-11s %7s %-4s %8s %8s %8s %6s %8s %10s %10s %7s\n", "item set", "found", "seq",
                "mean ms", "SD ms", "max ms", "max smp", "drift smp", "lat SD us", "lat rng us", "behind");
    const DigitLocator locator;
    QSet<int> cycleLengths;
    bool ok = true;
    for (const MeasuredSet& set : itemSets(quick))
        ok = measure(w, set, locator, stall, cycleLengths) && ok;
    for (auto& p : spinners) {
        p->kill();
        p->waitForFinished();
    }
    if (!cycleLengths.isEmpty()) {
        QStringList lengths;
        for (int us : cycleLengths)
            lengths << QString::number(us);
        std::printf("PipeWire's graph cycles while measuring: %s us\n", qPrintable(lengths.join(QStringLiteral(", "))));
    }
    measureDigitPlayer();
    if (const PlacedOutput* output = DefaultOutput::instance().chosen())
        std::printf("due-time map taken %d time(s), moved for %d slip(s); last stream: latency %.1f ms, lead %.1f ms\n",
                    output->placement().anchors(), output->placement().slips(), output->streamLatency() * 1000,
                    output->placement().leadFrames() * 1000.0 / kRate);
    std::printf("start-up to main window shown: %.1f ms (from main(), offscreen); resident memory %ld KiB\n",
                startupMs, residentKiB());
    return ok ? 0 : 1;
}
