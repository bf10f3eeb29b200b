#pragma once

#include <optional>

struct SheetAdministration;

// What the program's listening added to an administration: how many marks stand as the voice
// gave them, how many the examiner set or changed, and the latency of the answers heard (a sum
// heard, with its onset found).
struct SheetListening {
    int answers = 0;     // answers heard with a latency
    int voiceMarks = 0;  // answers the voice decided and the examiner left as it marked them
    int changed = 0;     // answers the examiner marked, over the voice's mark or where it gave none
    // In ms over the answers heard; quartiles between neighbouring values, as most statistics
    // programs have them by default. None without an answer heard.
    std::optional<double> median, lowerQuartile, upperQuartile;

    static SheetListening of(const SheetAdministration& given);
};
