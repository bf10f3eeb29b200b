#pragma once

#include <QObject>

class PacingTimer;
class SoundOutput;

// Holds the sound output open only while a run needs it. A run that starts opens it, so that
// the first digit finds a stream that is already going (the first tick comes one interval
// later). A run that ends or pauses lets it go after kCloseDelayMs: by then its last digit has
// been heard, and a pause that short is cheaper to hold through than to reopen after. Between
// runs the program thus keeps no stream and no audio thread: the device may suspend and
// PipeWire's quantum is the other programs' again.
class OutputKeeper final : public QObject {
    Q_OBJECT
public:
    // Covers the lead and latency of the output (about 0.3 s) and the longest digit (0.6 s).
    static constexpr int kCloseDelayMs = 2000;

    // `closeTimer` is used for the delay only; it is single-shot here: its first tick closes.
    OutputKeeper(SoundOutput& output, PacingTimer& closeTimer, QObject* parent = nullptr);

    // Whether a run is going.
    void setNeeded(bool needed);

private:
    void closeNow();

    SoundOutput& output_;
    PacingTimer& closeTimer_;
};
