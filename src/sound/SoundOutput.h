#pragma once

#include "sound/SoundFault.h"
#include "sound/SoundWay.h"
#include "sound/SteadyTime.h"
#include "sound/WaveImage.h"

#include <optional>
#include <vector>

// The program's one sound output. It holds a stream on the sound server only between open() and
// close(); start() opens one itself when none is open.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // Opens the stream ahead of the first sound, so that sound needs no time to get going; true
    // when a stream runs.
    virtual bool open() = 0;
    // Ends the stream, and with it whatever is playing: the server may suspend the device.
    virtual void close() = 0;

    // Cuts off whatever is playing and starts `sound` from its first frame, so that it is heard a
    // fixed latency after `due`: sounds asked for on a grid of due times come out on the same grid
    // to the sample, however late each request was made. Returns false when there is no usable
    // output or the sound is not in the output's format. The samples are read in place until the
    // next start() or stop(); once either has returned, the samples of the sound before are never
    // read again, so their owner may free them.
    virtual bool start(const WaveImage& sound, SteadyTime due) = 0;
    // Cuts off whatever is playing.
    virtual void stop() = 0;

    // What kept sounds from being heard whole on their due times since the last call, in the
    // order it was noticed. A fault can be noticed a moment after its sound has been heard.
    virtual std::vector<SoundFault> takeFaults() = 0;

    // The way to the server the stream last opened on; none where it is not known (no stream
    // has opened, or the output is not the program's own).
    virtual std::optional<SoundWay> wayTaken() const { return std::nullopt; }
    // How long after its due time a sound started now leaves the speakers, as far as the stream
    // can tell; zero where it cannot (no stream, or the output is not the program's own).
    virtual std::chrono::nanoseconds heardAfterDue() const { return {}; }
};
