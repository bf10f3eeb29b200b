// How often the notice after a run is right: clean demonstrations, and demonstrations with a
// fault planted at the third digit (the sound server stopped for 300 ms; the audio thread starved
// for 400 ms; the stream moved to another sink). Each run is judged against a recording of the
// sink: the notice is right when the digits it names are exactly those the sink heard missing,
// broken or more than 1 ms off the grid. After a move the sink misses every later digit too (they
// are heard on the other one): there, the third named is what counts.
//
//   notice_accuracy [--runs N]   N clean runs (20) and N/4 of each fault (5)
//
// Runs against one of the private sound servers of `make bench` (tests/sound/).
#include "PlantedRun.h"
#include "RigProgram.h"
#include "SinkRecorder.h"

#include <QApplication>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--runs"));
    const int runs = at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : 20;
    if (!privateSoundServer()) {
        std::fprintf(stderr, "run through `make bench`, which starts the private sound servers\n");
        return 2;
    }
    RigProgram program;
    MessageRecorder& messages = program.messages;
    MainWindow& w = program.main();

    struct Kind {
        const char* name;
        int count;
        PlantedRun::Plants plants;
    };
    const Kind kinds[] = {{"clean", runs, {}},
                          {"server stopped 300 ms", std::max(1, runs / 4), {{3, [] { PlantedRun::stopServer(300); }}}},
                          {"audio thread starved 400 ms", std::max(1, runs / 4), {{3, [] { PlantedRun::starveAudioThread(PlantedRun::kStarvationMs); }}}},
                          {"moved to another sink", std::max(1, runs / 4),
                           {{3, [] { PlantedRun::moveToSink(QStringLiteral("ovrel_headphones")); }}}}};
    std::printf("Notice after a run on %s (demonstration; faults planted at digit 3)\n", qPrintable(soundServerName()));
    std::printf("%-28s %5s %7s %13s %14s %16s\n", "runs", "count", "right", "digit 3 named", "digits missed", "named, on time");
    for (const Kind& kind : kinds) {
        int right = 0, thirdNamed = 0, missed = 0, needless = 0;
        QStringList details;
        for (int i = 0; i < kind.count; ++i) {
            const PlantedRun run = PlantedRun::give(w, messages, kind.plants);
            PlantedRun::returnToSink(QStringLiteral("ovrel_null"));
            const std::set<int> off = run.offGrid(), named = run.named();
            right += off == named;
            thirdNamed += named.count(3);
            for (int d : off)
                missed += !named.count(d);
            for (int d : named)
                needless += !off.count(d);
            if (off != named || !kind.plants.empty())
                details << QStringLiteral("  off the grid: %1; told: %2").arg(off.empty() ? QStringLiteral("none") : run.offsets(),
                                                                          run.notices.isEmpty() ? QStringLiteral("nothing") : run.notices.join(' ').section("\n\n", 0, 0).replace('\n', ' '));
        }
        std::printf("%-28s %5d %7d %13d %14d %16d\n", kind.name, kind.count, right, thirdNamed, missed, needless);
        for (const QString& line : details)
            std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    }
    return 0;
}
