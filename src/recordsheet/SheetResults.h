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
        QString zScore, percentile;  // empty without an age group
    };
    const std::vector<Row>& rows() const { return rows_; }

    // One line a program can read: "Trial 1.2 s: correct 41, wrong 12, no answer 7, dyads 30,
    // on time: yes" ("no" for a faulty delivery, "not known" before it is known).
    static QString trialLine(const SheetAdministration& given);
    // The counts of `given` as the sheet shows them under its grid: "Correct 41   Wrong 12   No
    // answer 7   Dyads 30   Longest run 9", and for a trial a second line of its thirds.
    static QString countsLine(const SheetAdministration& given);
    // The results as tab-separated text, a heading line first.
    QString table() const;
    // What departs from standard administration, or an empty text: an earlier administration, a
    // pause, a stop before the end (or a run still under way).
    static QString remarks(const Row& row);

private:
    std::vector<Row> rows_;
};
