#pragma once

#include "ExamineeMouth.h"
#include "recordsheet/SheetAdministration.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cmath>
#include <vector>

class MainWindow;

// The trial given through the real program's window with Listen on, on the private PulseAudio
// rig, while a synthetic examinee (ExamineeMouth) answers it as planned into the microphone; what
// the sheet, the microphone and the sink made of it, and how that compares with the plan. The
// test holds these to bounds (tst_listeningonserver), the benchmark prints them (listening_trial).
class ListeningTrial {
public:
    // Ten kinds of item in turn: right (where `late`, one of them a quarter second before the next
    // digit, its word running on over that digit), wrong, nothing, a cough, "I don't know" and a
    // self-correction; the other latencies spread over 450 to 890 ms. A self-correction starts at
    // 350 ms, so that its second sum begins inside the window.
    static std::vector<ExamineeMouth::Answer> plan(int items, int paceMs, bool late);

    struct Given {
        QString fault;  // empty where the trial ran to its end and every item was decided
        SheetAdministration sheet{ItemSet::Trial, 3};  // as given, once it was
        std::vector<int> sums;
        std::vector<ExamineeMouth::Answer> plan;
        ExamineeMouth::Heard heard;
        std::vector<double> decidedAfterMs;  // per item, from its window's end; NaN: never decided
        int digitsPlayed = 0;
        double cpuPercent = NAN;  // the process's CPU time from Start to the run's end over that wall time
        QByteArray sink;          // the sink's recording over the trial, where asked for
    };
    // Opens the sheet, turns Listen on, gives the trial at `paceMs` (1200 or 2400) with the
    // examinee answering plan(…, `late`) as `speech` says; Listen is turned off again after it.
    static Given give(MainWindow& main, int paceMs, bool late, const ExamineeMouth::Speech& speech, bool recordSink);

    struct Score {
        int right = 0;      // the sum said heard, or nothing where no sum was said
        int asPlanned = 0;  // that, and the flags of something said and of a self-correction
        int fromDigits = 0; // items with nothing said heard as something
        int unknownOnsets = 0;
        int wholeDigits = 0;           // digits heard whole at the microphone, unspoken over
        double strayFromMs = NAN, strayToMs = NAN;  // how far those lie off the pace
        std::vector<double> errors;    // the sheet's latency less the true one, ms, where both are known
        QStringList missed;            // "item (kind heard sum, flags)"
    };
    // The true latency is the answer's onset in the microphone's recording less its second digit's
    // there (the digits heard whole give where the first lies), plus the rig's loopback delay
    // `rigDelayMs` from the sink to the microphone.
    static Score score(const Given& given, int paceMs, double rigDelayMs);

    // The `q` quantile (0 to 1) of `values`, by the nearest rank below; NaN where empty.
    static double quantile(std::vector<double> values, double q);
};
