#pragma once

#include "protocol/ItemSet.h"
#include "recordsheet/SheetMark.h"
#include "recordsheet/SheetVoice.h"
#include "sound/SteadyTime.h"

#include <QDateTime>
#include <algorithm>
#include <QString>
#include <optional>
#include <vector>

// One giving of an item set from its first digit: when it started and each digit was heard, the
// examiner's marks and notes, its pauses, and how the run went out.
struct SheetAdministration {
    // `pace`: 0 to 3 for a trial (2.4, 2.0, 1.6, 1.2 s); for the practice 0, or 1 for the
    // practice repeated; ignored for the demonstration.
    SheetAdministration(ItemSet set, int pace);

    // The examiner stopped the run after `afterDigits` digits, from `from` until `to` (none while
    // it has not gone on).
    struct Pause {
        int afterDigits;
        SteadyTime from;
        std::optional<SteadyTime> to;
    };

    ItemSet set;
    int pace;                       // as given above; -1 for the demonstration
    std::vector<int> sums;          // the correct answers, in order: digit n plus digit n + 1
    std::vector<SheetMark> marks;   // one per answer: the examiner's where set, else the voice's
    std::vector<bool> byExaminer;   // one per answer: its mark was set by the examiner, and wins
    std::vector<std::optional<SheetVoice>> voice;  // one per answer: what was heard, where listened
    std::vector<SteadyTime> heard;  // each digit given so far, as it left the speakers
    std::vector<Pause> pauses;
    QDateTime started;              // by the computer's clock, as the run first started
    QString notes;                  // the examiner's
    bool running = false;           // its run goes now (not paused, not ended)
    bool ended = false;             // no digit of it is to come: given to its end, or rewound
    std::optional<bool> onTime;     // once the run's delivery is known
    QString delivery;               // "61 of 61 digits on time", or the digits off time

    // From the start of one digit to the start of the next.
    std::chrono::milliseconds interval() const;
    bool finished() const { return heard.size() == sums.size() + 1; }
    // Answers whose second digit was heard: the first presented() can be answered.
    int presented() const { return std::max(0, int(heard.size()) - 1); }
    // An answer that cannot be given any more: its second digit never played, and none is to come.
    bool notGiven(int item) const { return ended && item >= presented(); }
    // The delivery, or "not known" before it is.
    QString deliveryInWords() const { return delivery.isEmpty() ? QStringLiteral("not known") : delivery; }
    // "Trial 1.2 s", "Demonstration", "Practice 1", "Practice 2".
    QString name() const;
    // As files name it: "1.2 s", "Demonstration", "Practice 1".
    QString shortName() const;
    bool isTrial() const { return set == ItemSet::Trial; }
    // Whether any of its answers was heard by the program.
    bool listened() const { return std::any_of(voice.begin(), voice.end(), [](const auto& v) { return v.has_value(); }); }
};
