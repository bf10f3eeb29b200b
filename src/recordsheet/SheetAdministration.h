#pragma once

#include "protocol/ItemSet.h"
#include "recordsheet/SheetMark.h"
#include "sound/SteadyTime.h"

#include <QString>
#include <optional>
#include <vector>

// One giving of an item set from its first digit: when each digit was heard, the examiner's
// marks, and how the run went out.
struct SheetAdministration {
    SheetAdministration(ItemSet set, int pace);

    ItemSet set;
    int pace;                       // 0 to 3 for a trial (2.4, 2.0, 1.6, 1.2 s); -1 otherwise
    std::vector<int> sums;          // the correct answers, in order: digit n plus digit n + 1
    std::vector<SheetMark> marks;   // one per answer
    std::vector<SteadyTime> heard;  // each digit given so far, as it left the speakers
    bool paused = false;            // paused and continued
    bool running = false;           // its run goes now (not paused, not ended)
    bool ended = false;             // no digit of it is to come: given to its end, or rewound
    std::optional<bool> onTime;     // once the run's delivery is known
    QString delivery;               // "61 of 61 digits on time", or the digits off time

    // From the start of one digit to the start of the next.
    std::chrono::milliseconds interval() const;
    bool finished() const { return heard.size() == sums.size() + 1; }
    // The delivery, or "not known" before it is.
    QString deliveryInWords() const { return delivery.isEmpty() ? QStringLiteral("not known") : delivery; }
    // "Trial 1.2 s", "Demonstration", "Practice".
    QString name() const;
    bool isTrial() const { return set == ItemSet::Trial; }
};
