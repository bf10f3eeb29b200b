#pragma once

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

// The cycles a PipeWire server runs its graph in, logged by its own profiler (pw-profiler)
// between start() and stop(): the length of each, in microseconds (1024 frames at 48 kHz is
// 21333). A graph whose cycle changes or runs short is where a stream loses frames.
class GraphCycles {
public:
    // False when the profiler did not start (there is no PipeWire server).
    bool start();
    // The distinct cycle lengths seen since start().
    QSet<int> stop();

private:
    QTemporaryDir dir_;
    QProcess profiler_;
};
