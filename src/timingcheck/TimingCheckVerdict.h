#pragma once

#include "timingcheck/TimingCheckResult.h"

#include <QString>
#include <QStringList>

// A timing check's result in plain words, for its window and its report. A recording not judged
// is said to be so, with why, the level measured and what to do; a judged one has every digit on
// time, or what was wrong with each (the first kMostDigitsNamed), and a clock difference no sound
// card has is said first.
class TimingCheckVerdict {
public:
    static QString text(const TimingCheckResult& result);

    // "Digits found: N of M", "Largest interval error: X.XXX ms", "Drift: X.XXX ms" and, where
    // measured, "Clock difference: N ppm" and "Latency: X.X ms"; empty when not judged.
    static QStringList figures(const TimingCheckResult& result);
};
