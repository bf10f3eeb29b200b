#pragma once

#include "recordsheet/RecordSheet.h"

#include <QString>

// Every item of every administration on a sheet, one row each, as CSV (RFC 4180, UTF-8, CRLF
// line ends), for scripts and audits. The header line is fixed:
//   trial,administration,item,first_digit,second_digit,sum,mark,marked_by,latency_ms,heard,confidence,flags
// trial: Demonstration, Practice 1, Practice 2, 2.4 s, 2.0 s, 1.6 s or 1.2 s; administration:
// from 1 for each trial; item: from 1; mark: correct, wrong, none or not given; marked_by:
// examiner, or empty where nobody marked it. What the program heard of the answer (latency_ms,
// heard, confidence) and flags are empty here.
class SheetItemsFile {
public:
    static const char* const kHeader;

    static QByteArray csv(const RecordSheet& sheet);
    // False where the file cannot be written whole.
    static bool write(const RecordSheet& sheet, const QString& path);
};
