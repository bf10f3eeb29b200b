#pragma once

#include "soundcheck/DigitLocator.h"

#include <QStringList>
#include <functional>
#include <set>

class MainWindow;
struct MessageRecorder;

// The demonstration (digits 1 to 4, 2.4 s apart) given through the real main window and recorded
// from the private sound server's sink, with a fault planted while its third digit is on its way
// to the sink (100 ms after that digit's tick): what the examiner was told and what the sink
// heard. The tests and the benchmark judge the notice against the recording.
struct PlantedRun {
    static constexpr int kPaceMs = 2400;
    static constexpr int kDigits = 4;

    QStringList notices;  // shown after the run, in order
    std::vector<DigitLocator::Found> heard;

    // By digit (numbered from 1; 0 unused): how far its onset was off the grid the digits keep
    // (their median distance from it), in ms; NaN where it was missing or not whole.
    std::vector<double> gridErrors() const;
    // The digits that were missing, not whole, or more than `toleranceMs` off that grid.
    std::set<int> offGrid(double toleranceMs = 1) const;
    // The digits the notices name.
    std::set<int> named() const;

    // `plant` may be empty: a clean run. `messages` is the recorder the window's boxes go to.
    static PlantedRun give(MainWindow& window, MessageRecorder& messages, const std::function<void()>& plant);

    // Planted faults. Each returns false where it cannot be planted here.
    // The sound server's process (OVREL_SERVER_PID) stopped for `ms`, as a busy machine holds it.
    static bool stopServer(int ms);
    // Real-time spinners on both cores for `ms`, above the program's audio thread and below the
    // server: the stream underruns.
    static bool starveAudioThread(int ms);
};
