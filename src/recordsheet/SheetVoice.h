#pragma once

#include "recordsheet/SheetMark.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the program heard of one answer where it listened: the sum taken as the answer, how sure
// it was, when the answer began, and what the examiner should look at again.
struct SheetVoice {
    std::optional<int> heard;         // the sum taken (the last said); none: no sum was said
    double confidence = 0;            // from 0 to 1
    std::optional<double> latencyMs;  // from the answer's second digit heard to the voice's onset
    bool selfCorrection = false;      // two sums or more were said: the last counts
    bool somethingSaid = false;       // something was said that was no sum
    bool unsure = false;              // to be looked at again

    // The mark the voice gives where the correct answer is `sum`.
    SheetMark mark(int sum) const { return !heard ? SheetMark::None : *heard == sum ? SheetMark::Correct : SheetMark::Wrong; }
    // As the items file has them: "self-correction;something said;unsure", or empty.
    QString flags() const
    {
        QStringList said;
        if (selfCorrection)
            said << QStringLiteral("self-correction");
        if (somethingSaid)
            said << QStringLiteral("something said");
        if (unsure)
            said << QStringLiteral("unsure");
        return said.join(QLatin1Char(';'));
    }
};
