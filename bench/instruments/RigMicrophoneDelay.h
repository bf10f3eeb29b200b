#pragma once

#include <QProcess>
#include <QTemporaryFile>

// The delay from the sink to the private PipeWire rig's microphone, as one four-channel recorder
// node hears both at once (pw-record, its ports linked by hand): no two streams' clocks come
// into it. The rig's loopback keeps its delay only while the graph's quantum stays put, so a
// check's latency is held against this, taken during the check.
class RigMicrophoneDelay {
public:
    // False outside the PipeWire rig, or when the recorder's ports could not be linked.
    bool start();
    // The median over the digits found whole in both, in ms; NaN when none were.
    double stopMs();
    // How far the delay moved over those digits, in ms, once stopped: a run in which it moved
    // says nothing of a check's latency.
    double spreadMs() const { return spreadMs_; }

private:
    double spreadMs_ = NAN;
    QProcess record_;
    QTemporaryFile file_;
};
