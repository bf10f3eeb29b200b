#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A word spoken by one of the speech synthesisers, at 44.1 kHz mono, from its true onset to its
// end, scaled so that its sounding part (its 10 ms blocks within 30 dB of the loudest) has the
// RMS asked for.
//
// The true onset is the first sample of the earliest 1 ms frame of the synthesis (resampled to
// 44.1 kHz by sox, without dither) from which every frame, up to the first that comes within
// 20 dB of the word's loudest 10 ms, lies within 35 dB of that loudest. The synthesisers' own
// leading silence lies under that (exact zeros from espeak-ng; from flite and festival a hiss
// whose loudest 1 ms is 38 to 50 dB under the loudest 10 ms) and is cut away, as is the trailing
// one, so that the word placed in a track begins at its true onset.
class SynthesisedWord {
public:
    struct Voice {
        const char* name;
        QStringList command;  // %t: the text, %o: the WAVE file to write
        bool tuning;          // the method was tuned on it
    };

    // Fails (qFatal) when the synthesiser or sox is missing.
    SynthesisedWord(const Voice& voice, const QString& text, const QString& scratchDir, double rms);

    std::vector<float> samples;
};
