#pragma once

#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

// The cycles a PipeWire server runs its graph in, logged by its own profiler (pw-profiler)
// between start() and stop(). A graph whose cycle changes or runs short is where a stream loses
// frames. So is a cycle that a node misses: when the machine's CPUs are taken away for tens of
// milliseconds (a virtual machine whose host is busy), the server's timer-driven sink catches up
// with cycles that its nodes are not done with, the recorders of the sink as well as its players.
// What a recorder misses is missing from its recording, however well the players kept time.
class GraphCycles {
public:
    struct Log {
        QList<int> cycles;          // each cycle's length in order, in µs (1024 frames at 48 kHz: 21333)
        QSet<int> lengths;           // the distinct ones
        QMap<QString, int> missed;  // by node name: times it fell behind, not done with a cycle

        // The distinct lengths from the first cycle of length `us` to the last: those the graph
        // ran while a client held it at `us`, whoever set it before that client joined and after
        // it left.
        QSet<int> lengthsWhileHeldAt(int us) const;
    };

    // False when the profiler did not start (there is no PipeWire server).
    bool start();
    Log stop();

private:
    QTemporaryDir dir_;
    QProcess profiler_;
};
