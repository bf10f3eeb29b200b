#pragma once

#include <QString>

// CPU time and context switches (voluntary and not) of a process, all its threads together.
struct Cost {
    double cpuSeconds = 0;
    long switches = 0;
    Cost operator-(const Cost& o) const { return {cpuSeconds - o.cpuSeconds, switches - o.switches}; }
};

// This process so far.
Cost ownCost();
// What another running process spends over the next `ms`, in which this one runs its event loop.
Cost costOver(qint64 pid, int ms);
// aplay playing the WAVE file at `path` on ALSA's "default", from start to end.
Cost aplayCost(const QString& path);
// Another running process's resident memory.
long residentKiB(qint64 pid);
// Runs the event loop for `ms`.
void waitMs(int ms);
