#pragma once

#include "protocol/DigitLists.h"
#include "timingcheck/DigitLocator.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <map>
#include <set>
#include <span>

class MainWindow;
struct MessageRecorder;

// The demonstration (digits 1 to 4, 2.4 s apart), or another item set, given through the real
// main window and recorded from the private sound server's sink, with faults planted while chosen
// digits are on their way to the sink (100 ms after their ticks): what the examiner was told and
// what the sink heard. The tests and the benchmarks judge the notice against the recording.
struct PlantedRun {
    static constexpr int kPaceMs = 2400;
    static constexpr int kDigits = 4;
    // An item set: the choice that selects it, its pace and its digits.
    struct Items {
        const char* button;
        int paceMs;
        std::span<const int> digits;
    };
    static constexpr Items kDemonstration{"demoButton", kPaceMs, kDemonstrationDigits};

    QStringList notices;  // shown after the run, in order
    std::vector<DigitLocator::Found> heard;
    Items set = kDemonstration;

    // By digit (numbered from 1; 0 unused): how far its onset was off the grid the first digit
    // sets, in ms; NaN where it was missing, not whole or another digit than due there (all of
    // them, if the first was).
    std::vector<double> gridErrors() const;
    // The digits that were missing, not whole, or more than `toleranceMs` off that grid.
    std::set<int> offGrid(double toleranceMs = 1) const;
    // The digits the notices say were off; not those they say only may be off by up to some ms
    // (placed after a slip was made good, as closely as the server measured it).
    std::set<int> named() const;
    // The digits off the grid (by more than `toleranceMs`) and by how much ("2 by 300.0 ms", "3 lost
    // or broken").
    QString offsets(double toleranceMs = 1) const;
    // All of it: what was told, each digit heard (where, how well it matched), those off the grid
    // and those named.
    QString describe() const;

    // What to plant at which digit (numbered from 1); none: a clean run. `messages` is the
    // recorder the window's boxes go to.
    using Plants = std::map<int, std::function<void()>>;
    static PlantedRun give(MainWindow& window, MessageRecorder& messages, const Plants& plants,
                           const Items& set = kDemonstration);
    // Plants each fault 100 ms after its digit starts in `window`'s runs, counted from the first
    // digit after this call, until the connection returned is broken.
    static QMetaObject::Connection plant(MainWindow& window, Plants plants);

    // Planted faults. Each returns false where it cannot be planted here.
    // The sound server's process (OVREL_SERVER_PID) stopped for `ms`, as a busy machine holds it.
    static bool stopServer(int ms);
    // Real-time spinners on both cores for `ms`, above the program's audio thread and below the
    // server: the stream underruns where `ms` outlasts what its buffers hold.
    static bool starveAudioThread(int ms);
    // Outlasts the stream's buffers however they are laid out (186 ms at most).
    static constexpr int kStarvationMs = 400;
    // The calling thread (the program's user-interface thread, when planted) busy for `ms`, as
    // when the desktop swaps the program out: a tick due meanwhile comes late.
    static void holdUpThisThread(int ms);
    // This process's playback moved by the server to the sink `sink`, as when headphones are
    // plugged in, the way its own desktop moves a stream. True once the server lists every
    // stream of this process on `sink` (within 1.5 s); false where it would not move them.
    static bool moveToSink(const QString& sink);
    // The server remembers where a program's stream was moved and plays its next one there: the
    // output opened, moved back to `sink` and closed again makes it forget.
    static bool returnToSink(const QString& sink);
};
