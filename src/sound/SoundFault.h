#pragma once

#include "sound/SteadyTime.h"

// Something the output knows kept a sound from being heard whole on its due time.
struct SoundFault {
    enum class Kind {
        NotPlayed,  // it was not heard: there was no output, or the next came before it began
        Moved,      // it started `ms` off its due time (negative: early)
        Held,       // around it the sound server held the sound back by `ms` (negative: dropped
                    // that much): it started off its due time or was broken off
        Restarted,  // it came on an output opened afresh after the last one had stopped: when it
                    // was heard is not known
        Corrected,  // the first placed after a slip of `ms` was made good: it is on the grid only
                    // as closely as the server's report measured the slip, within `boundMs`
        Rerouted,   // the server moved the sound to another output as it played or just before
                    // it began: it may have started off its due time or been broken off
    };

    SteadyTime due;  // the sound's, as it was asked for
    Kind kind = Kind::NotPlayed;
    double ms = 0;
    // Corrected: how far off its due time it may be. A report that stepped with no sound lost
    // looks like a slip of that step, so the correction is as sure as the reports' own grain.
    double boundMs = 0;
};

