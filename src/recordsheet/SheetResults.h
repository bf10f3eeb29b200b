#pragma once

#include "recordsheet/RecordSheet.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// What the report and the clipboard say of the trials on a sheet: for each administration of a
// trial, in the order of the paces and, within one, in the order given, its raw score, its
// z-score and percentile where the age group is known, its counts, pauses and delivery.
class SheetResults {
public:
    // `ageGroup`: 16, 30 or 50; 0 where none was chosen.
    SheetResults(const RecordSheet& sheet, std::uint8_t ageGroup);

    struct Row {
        const SheetAdministration* given;
        bool earlier;  // given again after it: it does not count
        int administration;  // which giving of its trial: 1 for the first
        QString zScore, percentile;  // empty without an age group
    };
    const std::vector<Row>& rows() const { return rows_; }

    // One line a program can read: "Trial 1.2 s: correct 41, wrong 12, no answer 7, dyads 30,
    // on time: yes" ("no" for a faulty delivery, "not known" before it is known); a trial stopped
    // short has "not given 51, " before the dyads.
    static QString trialLine(const SheetAdministration& given);
    // Its second line, where the program listened: "Trial 1.2 s latency: median 812 ms, IQR
    // 702-905 ms, answers 52, voice marks 58, changed 2" ("no answer heard, " for the latency
    // where none was); empty where it did not listen.
    static QString latencyLine(const SheetAdministration& given);
    // The counts of `given` as the sheet shows them under its grid: "Correct 41   Wrong 12   No
    // answer 7   Dyads 30   Longest run 9", and for a trial a second line of its thirds.
    static QString countsLine(const SheetAdministration& given);
    // The results as tab-separated text, a heading line first; where any trial was listened to,
    // with the latency and the voice's marks in columns after the remarks.
    QString table() const;
    // What departs from standard administration, or an empty text: an earlier administration, one
    // given again, each pause and its length, a stop before the end (or a run still under way).
    static QString remarks(const Row& row);
    // "1st", "2nd", "3rd", "4th"…
    static QString ordinalName(int n);
    // "12 s", "2 min 5 s".
    static QString lengthInWords(SteadyTime::duration length);
    // The trial's name, with which administration it is where it was given more than once.
    QString rowName(const Row& row) const;

private:
    std::vector<Row> rows_;
};
