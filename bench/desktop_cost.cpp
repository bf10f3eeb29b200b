// Measures what the program costs the desktop it runs on, each figure beside a reference taken
// in the same run:
//   - start-up to the window mapped, and resident memory a second later, against two peers: a
//     bare Qt Widgets window, and a plain Qt window with the main window's widgets and no logic
//     (the median of 9 starts each, taken in turn, on a private X server), and how often the
//     program connected to the sound server before its window showed;
//   - idle: CPU time and context switches of the program sitting open, with no run, for 30 s,
//     and whether it holds a stream on the sound server;
//   - the 1.2 s trial: CPU time and context switches of the program (the real main window,
//     timers and output, in this process, after a first stream has been opened and closed)
//     against aplay playing the same 61 digits, placed on
//     the same grid in one file, through the same server.
//
//   desktop_cost <program> <bare window> <same-widgets window> [--quick] [--start-only]
//   (--quick: 3 starts, 10 s idle; --start-only: the start-up and memory alone, 21 starts)
//
// Goals (docs/performance.md): start-up at most 1.5 times the bare window and 1.15 times the
// same-widgets window; memory at most 1.3 times the bare window and 1.15 times the same-widgets one.
//
// Runs against one of the private sound servers of `make bench` (tests/sound/).
#include "PrivateDisplay.h"
#include "ProcessCost.h"
#include "SinkRecorder.h"
#include "TempSettings.h"
#include "app/RealServices.h"
#include "app/Startup.h"
#include "sound/Median.h"
#include "MessageRecorder.h"
#include "sound/DefaultOutput.h"
#include "ProgramEndRecorder.h"
#include "resources/ResourceBytes.h"
#include "sound/WaveImage.h"
#include "protocol/DigitLists.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryFile>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Started {
    double ms = 0;
    long residentKiB = 0;
};

// Starts `program` on the display, times it to its window mapped, reads its memory a second
// later, and ends it (SIGTERM: the program puts the volume back).
Started startOnce(PrivateDisplay& display, const QString& program, const QString& settings)
{
    QProcess p;
    p.setProcessEnvironment(display.environment(settings));
    const auto begun = Clock::now();
    p.start(program, {});
    Started s;
    if (!p.waitForStarted() || !display.waitForMap())
        return s;
    s.ms = std::chrono::duration<double, std::milli>(Clock::now() - begun).count();
    waitMs(1000);
    s.residentKiB = residentKiB(p.processId());
    p.terminate();
    p.waitForFinished();
    return s;
}

// How often `program` connected to the sound server's socket before its window showed.
int soundConnectionsBeforeWindow(PrivateDisplay& display, const QString& program, const QString& settings)
{
    QTemporaryFile log;
    if (!log.open())
        return -1;
    QProcess p;
    p.setProcessEnvironment(display.environment(settings));
    p.start(QStringLiteral("strace"), {QStringLiteral("-f"), QStringLiteral("-e"), QStringLiteral("trace=connect"),
                                       QStringLiteral("-o"), log.fileName(), program});
    const bool mapped = p.waitForStarted() && display.waitForMap();
    const QByteArray calls = log.readAll();  // all that was written up to the window's showing
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(p.processId()));
    if (children.open(QIODevice::ReadOnly))
        for (const QByteArray& child : children.readAll().split(' '))
            if (child.trimmed().toInt() > 0)
                ::kill(child.trimmed().toInt(), SIGTERM);
    p.waitForFinished();
    if (!mapped)
        return -1;
    int n = 0;
    for (const QByteArray& line : calls.split('\n'))
        n += line.contains("connect(") && (line.contains("/native\"") || line.contains("pipewire-0\""));
    return n;
}

// The 61 digits of a trial on the 1.2 s grid, as one WAVE file.
bool writeTrialFile(QFile& file)
{
    const int pace = 44100 * 12 / 10;
    QByteArray samples(qsizetype(kTrialDigits.size() + 1) * pace * 4, '\0');
    for (std::size_t i = 0; i < kTrialDigits.size(); ++i) {
        const QByteArray bytes = resourceBytes(QStringLiteral("WAVE"), kTrialDigits[i]);
        WaveImage w;
        if (!WaveImage::parse(bytes.constData(), std::size_t(bytes.size()), w))
            return false;
        std::memcpy(samples.data() + qsizetype(i) * pace * 4, w.samples, w.frames * 4);
    }
    QByteArray header = resourceBytes(QStringLiteral("WAVE"), 1).left(44);
    const auto put = [&](int at, quint32 v) { std::memcpy(header.data() + at, &v, 4); };
    put(4, quint32(36 + samples.size()));
    put(40, quint32(samples.size()));
    return file.write(header + samples) == 44 + samples.size() && file.flush();
}

// The 1.2 s trial in the real main window, from Start to its stream let go again.
Cost trialCost()
{
    TempSettings settings;
    ProgramEndRecorder exits;
    MessageRecorder messages;
    RealServices real{messages, exits};
    std::unique_ptr<QWidget> window(showMainWindow([&] { return loadMainWindow(real.services()); }, messages, exits));
    auto& w = *static_cast<MainWindow*>(window.get());
    w.findChild<QRadioButton*>(QStringLiteral("pace12Button"))->click();
    QEventLoop ended;
    QObject::connect(&w.engine(), &RunEngine::finished, &ended, &QEventLoop::quit);
    const Cost before = ownCost();
    w.findChild<QToolButton*>(QStringLiteral("startStopButton"))->click();
    ended.exec();
    waitMs(2500);  // the last digit and the close delay
    return ownCost() - before;
}

// The program's median of `figures[0]` beside each peer's (the bare window, the same widgets).
void printBeside(const char* what, const char* unit, const std::vector<double> (&figures)[3])
{
    const double ours = median(figures[0]), bare = median(figures[1]), same = median(figures[2]);
    std::printf("%-26s %6.1f %-3s | bare Qt window %6.1f, ratio %.2f | same widgets %6.1f, ratio %.2f\n", what, ours, unit,
                bare, ours / bare, same, ours / same);
}

void printRatio(const char* what, const Cost& ours, const Cost& theirs, const char* whose)
{
    std::printf("%-26s CPU %6.3f s, %6ld context switches | %s: CPU %6.3f s, %6ld switches | ratio %.2f, %.2f\n",
                what, ours.cpuSeconds, ours.switches, whose, theirs.cpuSeconds, theirs.switches,
                ours.cpuSeconds / std::max(theirs.cpuSeconds, 1e-3), double(ours.switches) / double(std::max(theirs.switches, 1L)));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4 || !privateSoundServer()) {
        std::fprintf(stderr, "usage: desktop_cost <program> <bare window> <same-widgets window> [--quick] [--start-only],"
                             " through `make bench`\n");
        return 2;
    }
    const QString program = args[1];
    const QString programs[] = {program, args[2], args[3]};
    const bool quick = args.contains(QStringLiteral("--quick"));
    const bool startOnly = args.contains(QStringLiteral("--start-only"));
    pactl({"set-sink-volume", "@DEFAULT_SINK@", "100%"});
    std::printf("Cost to the desktop on %s\n", qPrintable(soundServerName()));

    PrivateDisplay display;
    QTemporaryDir settings;
    if (!display.ok() || !settings.isValid()) {
        std::fprintf(stderr, "no private X server (Xvfb)\n");
        return 1;
    }
    QFile::link(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/alsa"), settings.filePath(QStringLiteral("alsa")));
    std::vector<double> ms[3], kib[3];
    for (int i = 0; i < (startOnly ? 21 : quick ? 3 : 9); ++i)
        for (int which = 0; which < 3; ++which) {
            const Started s = startOnce(display, programs[which], settings.path());
            ms[which].push_back(s.ms);
            kib[which].push_back(double(s.residentKiB) / 1024);
        }
    std::printf("medians of %zu starts each, taken in turn\n", ms[0].size());
    printBeside("start-up to window mapped", "ms", ms);
    printBeside("resident memory", "MiB", kib);
    std::printf("connections to the sound server before the window showed: %d\n",
                soundConnectionsBeforeWindow(display, program, settings.path()));
    if (startOnly)
        return 0;

    // Idle: open, no run.
    const int idleSeconds = quick ? 10 : 30;
    QProcess idle;
    idle.setProcessEnvironment(display.environment(settings.path()));
    idle.start(program, {});
    if (idle.waitForStarted() && display.waitForMap()) {
        waitMs(2000);
        const Cost spent = costOver(idle.processId(), idleSeconds * 1000);
        std::printf("idle for %d s: CPU %.3f s, %ld context switches (%.1f wakeups a second), %d stream(s) held\n",
                    idleSeconds, spent.cpuSeconds, spent.switches, double(spent.switches) / idleSeconds,
                    int(streamsOf(idle.processId()).size()));
    }
    idle.terminate();
    idle.waitForFinished();

    QTemporaryFile trialFile;
    if (!trialFile.open() || !writeTrialFile(trialFile))
        return 1;
    // The first stream of a process also has PortAudio list the devices, once: apart.
    const Cost beforeFirst = ownCost();
    DefaultOutput::instance().open();
    DefaultOutput::instance().close();
    std::printf("first opening of the output in a process: CPU %.3f s\n", (ownCost() - beforeFirst).cpuSeconds);
    const Cost ours = trialCost();
    const Cost theirs = aplayCost(trialFile.fileName());
    printRatio("trial 1.2 s (61 digits):", ours, theirs, "aplay");
    return 0;
}
