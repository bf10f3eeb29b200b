#pragma once

#include <QByteArray>
#include <QProcess>
#include <QTemporaryFile>
#include <optional>
#include <vector>

// Records the private sound server's sink, "ovrel_null", by its monitor (parec) while alive between
// start() and stop(): raw 16-bit stereo at 44100 Hz. start() returns once the monitor's data
// is flowing; what was played in the last second or so before stop() may be missing.
class SinkRecorder {
public:
    static constexpr const char* kNodeName = "parec";  // its name in PipeWire's graph

    bool start();
    QByteArray stop();

private:
    QProcess parec_;
    QTemporaryFile file_;
};

// pactl with arguments; its standard output, or nothing when it failed.
std::optional<QString> pactl(const QStringList& arguments);

// The default sink's volume in percent; -1 when it cannot be read.
int sinkPercent();
// How many streams of a kind the sound server has, of every process: "source-outputs" (what
// records), "sink-inputs" (what plays).
int streamCount(const QString& kind);
// What the sound server lists of each stream the process `pid` plays to its sinks: a block of
// `pactl list sink-inputs` each, from the index it lists it by to its last property.
QStringList streamListingsOf(qint64 pid);
// The streams the process `pid` plays to the sound server's sinks, by the indices it lists them by.
QStringList streamsOf(qint64 pid);

// The digits a recording holds, in order: each one's identity, or 0 where it was not heard whole.
std::vector<int> digitsHeard(const QByteArray& recording);

// True when the tests run against one of the private sound servers that `make test` starts.
bool privateSoundServer();
// Which one: "pulseaudio", "pipewire-alsa" or "pipewire-pulse"; empty outside them.
QString soundServerName();
